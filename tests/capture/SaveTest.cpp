// Saving a capture: the save dialog's set-up, the dialog itself, BMP and PNG files, saves that fail.
#include "base/RuntimeError.h"
#include "capture/CaptureOutput.h"
#include "capture/mdlFileDialog.h"
#include "support/ModalWatcher.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QtWidgets>
#include <QtTest>


using namespace mdlFileDialog;
using ModalWatcher::WhenModal;

namespace {
void TypeAndConfirm(QFileDialog *dialog, const QString &name)
{
    auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

const QString Filter = BuildDialogFilter({QStringLiteral("Bitmap"), QStringLiteral("*.bmp"), QStringLiteral("PNG-Bild"),
                                          QStringLiteral("*.png"), QStringLiteral("Alle"), QStringLiteral("*")});
}

class SaveTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    qint32 m_flags = 0;
    qint32 m_filterIndex = 1;

    QString Save(const QString &name = QString(), const QString &folder = QString())
    {
        return ShowSaveDialog(m_flags, folder.isNull() ? m_dir.path() : folder, Filter, m_filterIndex, QStringLiteral("bmp"), name,
                              QStringLiteral("Speichern"), nullptr);
    }

private Q_SLOTS:
    void init()
    {
        m_flags = 0;
        m_filterIndex = 1;
    }

    // The dialog opens as asked; a name typed without extension gets the chosen type's, or the
    // default extension where the type names none; the chosen type comes back; the program's
    // current folder stays, wherever the user goes.
    void typedNameGetsTheExtension_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("all files: the default extension") << 2 << "shot" << "shot.bmp";
        QTest::newRow("PNG: its extension") << 1 << "shot" << "shot.png";
        QTest::newRow("PNG, an extension typed") << 1 << "shot.bmp" << "shot.bmp";
    }
    void typedNameGetsTheExtension()
    {
        QFETCH(int, type);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        const QString current = QDir::currentPath();
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sub")));
        QString shown;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            shown = QStringList({dialog->windowTitle(), dialog->directory().path(), dialog->selectedNameFilter(),
                                 dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text()}).join(u'|');
            dialog->setDirectory(m_dir.filePath(QStringLiteral("sub")));
            dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->setCurrentIndex(type);
            TypeAndConfirm(dialog, typed);
        });
        QCOMPARE(Save(QStringLiteral("bild.bmp")), m_dir.filePath(QStringLiteral("sub/") + saved));
        QCOMPARE(shown, QStringLiteral("Speichern|") + m_dir.path() + QStringLiteral("|Bitmap|bild.bmp"));
        QCOMPARE(m_flags, DefaultSaveFlags);
        QCOMPARE(m_filterIndex, type + 1);
        QCOMPARE(QDir::currentPath(), current);
    }

    // A name in a folder that is not there is refused in the dialog; a cancel then gives nothing.
    void missingFolderIsRefused()
    {
        QString warning;
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            WhenModal<QMessageBox>([&, dialog](QMessageBox *box) {
                warning = box->text();
                box->button(QMessageBox::Ok)->click();
                QVERIFY(dialog->isVisible());
                QTest::keyClick(dialog, Qt::Key_Escape);
            }, dialog);
            TypeAndConfirm(dialog, QStringLiteral("fehlt/shot"));
        });
        QCOMPARE(Save(), QString());
        QVERIFY2(warning.contains(m_dir.filePath(QStringLiteral("fehlt"))), qPrintable(warning));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("fehlt"))));
    }

    void whatTheDialogIsAskedAndGives()
    {
        const auto shown = [](const QString &filter) {
            QStringList names;
            for (const FileType &type : ParseDialogFilter(filter))
                names << ToNameFilter(type);
            return names;
        };
        QCOMPARE(shown(BuildDialogFilter({"A", "*.a", "Bilder", "*.bmp; *.dib;", "odd"})), (QStringList{"A (*.a)", "Bilder (*.bmp *.dib)"}));
        QCOMPARE(shown(QStringLiteral("A%1*.a%1%1B%1*.b%1").arg(QChar(0))), QStringList{"A (*.a)"});  // a double NUL ends it
        QCOMPARE(shown(QStringLiteral("Bitmap")), QStringList{"AlleDateien (*.*) (*.*)"});  // no pair: all files
        // Paths may be far longer than the 260-character buffer: the chosen one comes back whole.
        const QString path = QLatin1Char('/') + QString(300, u'd') + QStringLiteral("/a.bmp");
        QCOMPARE(ResultBuffer({path}, DefaultSaveFlags), path + QChar(0));
        QCOMPARE(ResultBuffer({QStringLiteral("/a.bmp")}, DefaultSaveFlags).size(), 260);
    }

    // Regression: the dialog listed dates, sizes and types in the desktop's English ("7 Dec",
    // "Windows BMP image") and cut the types short.
    void listInGerman()
    {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("bild.bmp")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1344, 'x')) == 1344 && file.flush());
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 7), QTime(14, 3)), QFileDevice::FileModificationTime));
        file.close();
        QStringList shown;
        bool fits = true;
        const auto view = [](QFileDialog *dialog) { return dialog->findChild<QTreeView *>(QStringLiteral("treeView")); };
        WhenModal<QFileDialog>([&](QFileDialog *dialog) {
            const auto fitting = [&] {
                shown.clear();
                fits = true;
                for (int column = 1; column < 4; ++column) {
                    shown << view(dialog)->model()->index(0, column, view(dialog)->rootIndex()).data().toString();
                    fits = fits && view(dialog)->header()->sectionSize(column)
                                       > view(dialog)->fontMetrics().horizontalAdvance(shown.last());
                }
                return fits;
            };
            // The columns are fitted to their cells in a later pass of the event loop.
            (void)QTest::qWaitFor(fitting, 2000);
            dialog->reject();
        }, nullptr, [&](QFileDialog *dialog) {
            // The file's size and date arrive from the model's own thread, after its row.
            const QTreeView *list = view(dialog);
            const auto cell = [&](int column) { return list->model()->index(0, column, list->rootIndex()).data().toString(); };
            return list && list->model()->rowCount(list->rootIndex()) == 1 && !cell(1).isEmpty() && !cell(3).isEmpty();
        });
        Save(QString(), folder.path());
        QCOMPARE(shown, (QStringList{QStringLiteral("1,31 KiB"), QStringLiteral("BMP-Datei"), QStringLiteral("07.12.26 14:03")}));
        QVERIFY2(fits, qPrintable(shown.join(QLatin1Char('|'))));
    }

    // The extension of the name decides the file's type, else the type chosen; every pixel reads
    // back as it was, at the picture's own depth, in Qt, ImageMagick and Pillow.
    void fileReadBackExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pngChosen");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("identified");  // ImageMagick: width, height, bits, class, pixels differing
        QTest::addColumn<QString>("pillow");      // Pillow: width, height, mode, pixels differing
        QTest::newRow("PNG, odd width") << "shot.png" << true << int(QImage::Format_RGB32) << QByteArray("png")
                                        << "37 7 8 DirectClass, differing 0" << "37 7 RGB differing 0";
        QTest::newRow("PNG by its extension, BMP chosen") << "Shot.PNG" << false << int(QImage::Format_RGB32)
                                                          << QByteArray("png") << "37 7 8 DirectClass, differing 0"
                                                          << "37 7 RGB differing 0";
        QTest::newRow("PNG, alpha") << "shot.png" << true << int(QImage::Format_ARGB32) << QByteArray("png")
                                    << "37 7 8 DirectClass, differing 0" << "37 7 RGBA differing 0";
        QTest::newRow("PNG, 8-bit palette") << "shot.png" << true << int(QImage::Format_Indexed8) << QByteArray("png")
                                            << "37 7 8 PseudoClass, differing 0" << "37 7 P differing 0";
        QTest::newRow("PNG, 16-bit screen") << "shot.png" << true << int(QImage::Format_RGB16) << QByteArray("png")
                                            << "37 7 8 DirectClass, differing 0" << "37 7 RGB differing 0";
        QTest::newRow("BMP by its extension, PNG chosen") << "shot.bmp" << true << int(QImage::Format_RGB32)
                                                          << QByteArray("bmp") << "37 7 8 DirectClass, differing 0"
                                                          << "37 7 RGB differing 0";
        QTest::newRow("another extension: the type chosen") << "shot.bild" << true << int(QImage::Format_RGB32)
                                                            << QByteArray("png") << "37 7 8 DirectClass, differing 0"
                                                            << "37 7 RGB differing 0";
    }
    void fileReadBackExactly()
    {
        QFETCH(QString, name);
        QFETCH(bool, pngChosen);
        QFETCH(int, format);
        QFETCH(QByteArray, written);
        QFETCH(QString, identified);
        QFETCH(QString, pillow);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const QImage picture = PatternPicture(QImage::Format(format), 37);
        using CaptureOutput::FileType;
        CaptureOutput::WriteCaptureFile(picture, path, CaptureOutput::FileTypeFor(path, pngChosen ? FileType::Png : FileType::Bitmap));
        QImageReader reader(path);
        QCOMPARE(reader.format(), written);
        const QImage back = reader.read();
        const QImage::Format compared = format == int(QImage::Format_ARGB32) ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        QCOMPARE(back.convertToFormat(compared), picture.convertToFormat(compared));
        if (format == int(QImage::Format_Indexed8))
            QCOMPARE(back.colorTable(), picture.colorTable());
        QCOMPARE(AsImageMagickReadsIt(path, picture.convertToFormat(compared)), identified);
        QCOMPARE(AsPillowReadsIt(path, picture.convertToFormat(compared)), pillow);
    }

    // A save on a nearly full disk used to report success and leave a truncated file in place of
    // the old one. Now error 75, the old file as it was, nothing else left.
    void failedSaveRaisesError75_data()
    {
        QTest::addColumn<QString>("name");  // beside the old file
        QTest::newRow("full disk (file size limit)") << "shot.bmp";
        QTest::newRow("full disk, PNG") << "shot.png";
        QTest::newRow("folder that is not there") << "gone/shot.bmp";
    }
    void failedSaveRaisesError75()
    {
        QFETCH(QString, name);
        QTemporaryDir folder;
        const QByteArray before(20000, 'B');
        const QString old = QFileInfo(name).fileName();
        QVERIFY(WriteBytes(folder.filePath(old), before));
        // Noise, so that a PNG too is larger than the room left.
        QImage picture(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            QRandomGenerator(y).fillRange(reinterpret_cast<quint32 *>(picture.scanLine(y)), picture.width());
        QString text;
        try {
            const FileSizeLimit limit(64 * 1024);
            const QString path = folder.filePath(name);
            CaptureOutput::WriteCaptureFile(picture, path, CaptureOutput::FileTypeFor(path, CaptureOutput::FileType::Bitmap));
        } catch (const RuntimeError &error) {
            text = StandardErrorText(error);
        }
        QVERIFY2(text.endsWith(QLatin1String("\r\n(Runtime-Error: 75)")), qPrintable(text));
        QCOMPARE(ReadBytes(folder.filePath(old)), before);
        QCOMPARE(Entries(folder.path()), QStringList{old});
    }
};

QTEST_MAIN(SaveTest)
#include "SaveTest.moc"
