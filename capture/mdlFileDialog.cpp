// Save and open dialogs: file types, initial folder, default extension, centred over the owner.
#include "capture/mdlFileDialog.h"

#include "base/LocalText.h"
#include "localisation/mdlTools.h"
#include "monitors/mdlWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QTreeView>
#include <QWindow>

#include <functional>

namespace mdlFileDialog {

namespace {

// Wide enough for the German columns beside a name of some length.
constexpr int DialogWidth = 760;

// The file list's types (section "frmMain", whose save command shows the dialog).
constexpr LocalText FileTypeText{"frmMain", "strFileType", "%1-Datei"}; // %1 the extension in capitals
constexpr LocalText FileText{"frmMain", "strFile", "Datei"};            // a file without extension
constexpr LocalText FolderText{"frmMain", "strFolder", "Verzeichnis"};

// The file list in the program's language whatever the desktop's: Qt's model writes sizes and
// dates in the system's locale and names file types after the MIME database in it ("7 Dec",
// "Windows BMP image"). Files are typed by their extension, as "BMP-Datei".
class FileListInLocale : public QIdentityProxyModel
{
public:
    FileListInLocale(const QLocale &locale, QObject *parent)
        : QIdentityProxyModel(parent), m_locale(locale), m_fileType(Localised(FileTypeText)), m_file(Localised(FileText)),
          m_folder(Localised(FolderText))
    {
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        const QModelIndex source = mapToSource(index);
        if (role != Qt::DisplayRole || !files || !source.isValid())
            return QIdentityProxyModel::data(index, role);
        const bool file = !files->isDir(source);
        switch (index.column()) {
        case SizeColumn:
            return file ? m_locale.formattedDataSize(files->size(source)) : QIdentityProxyModel::data(index, role);
        case TypeColumn: {
            if (!file)
                return m_folder;
            const QString suffix = files->fileInfo(source).suffix().toUpper();
            if (suffix.isEmpty())
                return m_file;
            return m_fileType.contains(QLatin1String("%1")) ? m_fileType.arg(suffix) : m_fileType;
        }
        case DateColumn:
            return m_locale.toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }

    static constexpr int SizeColumn = 1;
    static constexpr int TypeColumn = 2;
    static constexpr int DateColumn = 3;

private:
    QLocale m_locale;
    QString m_fileType;
    QString m_file;
    QString m_folder;
};

// Qt's own dialog rather than a desktop portal: only a window of our own can be placed.
class FileDialog : public QFileDialog
{
public:
    FileDialog(QWidget *owner, qint32 flags) : QFileDialog(owner), m_flags(flags), m_owner(owner) {}

    // The extension that a name typed without one gets, for the type chosen when it is confirmed.
    std::function<QString(const QString &selectedFilter)> SuffixFor;

protected:
    void accept() override
    {
        if (SuffixFor)
            setDefaultSuffix(SuffixFor(selectedNameFilter()));
        // Qt's save dialog takes a name in a folder that does not exist; the caller's flags forbid it.
        if (m_flags & FlagPathMustExist) {
            const QStringList files = selectedFiles();
            for (const QString &file : files) {
                const QString folder = QFileInfo(file).absolutePath();
                if (!QFileInfo(folder).isDir()) {
                    QMessageBox::warning(this, windowTitle(),
                                         QCoreApplication::translate("QFileDialog",
                                             "%1\nDirectory not found.\nPlease verify the correct directory name was given.")
                                             .arg(folder));
                    return;
                }
            }
        }
        QFileDialog::accept();
    }

    void showEvent(QShowEvent *event) override
    {
        QFileDialog::showEvent(event);
        if ((m_flags & FlagEnableHook) && !m_centred && windowHandle())
            windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Centred once it is on the screen: by then the window manager has framed it, and the
        // frame is part of what has to fit into the work area.
        if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()
            && !m_centred) {
            m_centred = true;
            windowHandle()->removeEventFilter(this);
            const WindowHandle owner = m_owner ? static_cast<WindowHandle>(m_owner->window()->winId()) : 0;
            mdlWindow::CenterWindow(static_cast<WindowHandle>(winId()), owner);
        }
        return QFileDialog::eventFilter(watched, event);
    }

private:
    qint32 m_flags;
    QPointer<QWidget> m_owner;
    bool m_centred = false;
};

}

QList<LocalText> Texts()
{
    return {FileTypeText, FileText, FolderText};
}

QString ShowSaveDialog(qint32 &flags, const QString &initialDir, const QString &filter, qint32 &filterIndex,
                       const QString &defaultExt, const QString &fileName, const QString &title, QWidget *owner)
{
    if (flags == 0)
        flags = DefaultSaveFlags;
    return mdlTools::TrimAtNull(
        RunFileDialog(false, flags, initialDir, filter, filterIndex, defaultExt, fileName, title, owner));
}

QString RunFileDialog(bool openFile, qint32 &flags, const QString &initialDir, const QString &filter,
                      qint32 &filterIndex, const QString &defaultExt, const QString &fileName,
                      const QString &title, QWidget *owner)
{
    // The program's current folder stays where it was, whatever the dialog does.
    const QString currentFolder = QDir::currentPath();

    FileDialog dialog(owner, flags);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // German dates, sizes and types in the list, and room for them. The program's locale stays
    // as it is: the language file's numbers must read back wherever it was written.
    dialog.setLocale(QLocale(QLocale::German, QLocale::Germany));
    dialog.setProxyModel(new FileListInLocale(dialog.locale(), &dialog));
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column : {FileListInLocale::SizeColumn, FileListInLocale::TypeColumn, FileListInLocale::DateColumn})
            details->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    dialog.resize(qMax(dialog.width(), DialogWidth), dialog.height());
    // The list shows each description as given; the patterns are only for filtering.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(flags & FlagOverwritePrompt));
    dialog.setOption(QFileDialog::DontResolveSymlinks, (flags & FlagNoDereferenceLinks) != 0);
    dialog.setAcceptMode(openFile ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (openFile && (flags & FlagAllowMultiSelect))
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (openFile && (flags & FlagFileMustExist))
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);

    const QList<FileType> types = ParseDialogFilter(filter);
    QStringList nameFilters;
    for (const FileType &type : types)
        nameFilters << ToNameFilter(type);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.at(EffectiveFilterIndex(filterIndex, nameFilters.size()) - 1));
    // Depending on the Qt version a chosen type comes back as the whole name filter or as the
    // description the list shows.
    const auto typeIndex = [&](const QString &selected) {
        for (qsizetype i = 0; i < types.size(); ++i)
            if (selected == nameFilters[i] || selected == types[i].Description.simplified())
                return i;
        return qsizetype(-1);
    };

    if (!initialDir.isEmpty() && QFileInfo(initialDir).isDir())
        dialog.setDirectory(initialDir);
    dialog.setDefaultSuffix(defaultExt);
    dialog.SuffixFor = [&](const QString &selected) {
        const qsizetype i = typeIndex(selected);
        return i >= 0 ? DefaultSuffixFor(types.at(i), defaultExt) : defaultExt;
    };
    const QString proposed = mdlTools::TrimAtNull(ProposedFileName(fileName, flags));
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (!title.isEmpty())
        dialog.setWindowTitle(title);

    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (QDir::currentPath() != currentFolder)
        QDir::setCurrent(currentFolder);
    if (!confirmed)
        return QString();

    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return QString();
    if (const qsizetype i = typeIndex(dialog.selectedNameFilter()); i >= 0)
        filterIndex = qint32(i + 1);
    return ResultBuffer(files, flags);
}

}
