// Every run-time error the program raises: its number and its description, German or translated.
#include "base/ErrorTexts.h"

#include "base/RuntimeError.h"

#include <QList>

#include <algorithm>

namespace {
struct ErrorText
{
    ErrorKind kind;
    int number;
    const char *key;  // in the language file's section "Messages"
    const char *text; // UTF-8; %1 stands for the detail (a path)
};

// One row per kind.
const QList<ErrorText> &ErrorTexts()
{
    static const QList<ErrorText> table{
        {ErrorKind::Overflow, 6, "strErrorOverflow",
         "Überlauf: Ein Wert ist für die Rechnung zu groß geworden, der Vorgang wurde abgebrochen. "
         "Prüfen Sie die eingegebenen Zahlen und die Anordnung der Bildschirme."},
        {ErrorKind::NoScreen, 5, "strErrorNoScreen",
         "Es ist kein Bildschirm verfügbar, daher lässt sich keine Fensterposition bestimmen. "
         "Schließen Sie einen Bildschirm an und versuchen Sie es erneut."},
        {ErrorKind::WindowGone, 91, "strErrorWindowGone",
         "Das Fenster ist nicht mehr vorhanden, seine Position lässt sich weder lesen noch setzen. "
         "Öffnen Sie das Fenster erneut."},
        {ErrorKind::WindowNotMovable, 384, "strErrorWindowNotMovable",
         "Ein minimiertes oder maximiertes Fenster lässt sich nicht verschieben und in der Größe nicht "
         "ändern. Stellen Sie zuerst seine normale Größe wieder her."},
        {ErrorKind::FileNotWritten, 75, "strErrorFileNotWritten",
         "Die Datei „%1“ konnte nicht geschrieben werden: Der Ordner ist schreibgeschützt oder nicht "
         "mehr vorhanden, oder der Datenträger ist voll. Nehmen Sie das Bild erneut auf und wählen Sie "
         "einen anderen Ordner, oder geben Sie Speicherplatz frei."},
        {ErrorKind::NoActiveWindow, 481, "strErrorNoActiveWindow",
         "Nach den zwei Sekunden war kein aktives Fenster zu finden, die Aufnahme ist leer. Klicken Sie "
         "nach dem Schließen des Hinweises innerhalb von zwei Sekunden in das Fenster, das kopiert "
         "werden soll."},
        {ErrorKind::MonitorGone, 481, "strErrorMonitorGone",
         "Der gewählte Monitor ist nicht mehr angeschlossen, die Aufnahme ist leer. Starten Sie die "
         "Desktop-Aufnahme erneut und wählen Sie einen vorhandenen Monitor."},
        {ErrorKind::EmptyCapture, 481, "strErrorEmptyCapture",
         "Die Aufnahme ist leer: Das Fenster ist nicht mehr vorhanden oder hat keine Fläche. In die "
         "Zwischenablage und in Dateien wurde nichts geschrieben; versuchen Sie es erneut."},
        {ErrorKind::ScreenCopyCancelled, 18, "strErrorScreenCopyCancelled",
         "Die Bildschirmaufnahme wurde im Dialog des Desktops abgebrochen, es wurde nichts kopiert. "
         "Starten Sie den Befehl erneut, wenn Sie die Aufnahme doch möchten."},
        {ErrorKind::ScreenCopyDenied, 70, "strErrorScreenCopyDenied",
         "Der Desktop hat die Bildschirmaufnahme verweigert oder konnte sie nicht anfertigen, es wurde "
         "nichts kopiert. Erlauben Sie Pixolva in den Datenschutz-Einstellungen Ihres Desktops, "
         "Bildschirmfotos aufzunehmen, und versuchen Sie es erneut."},
        {ErrorKind::NoScreenCopyService, 429, "strErrorNoScreenCopyService",
         "Dieser Desktop lässt Programme nur über den Dienst xdg-desktop-portal auf den Bildschirm "
         "sehen, und der ist nicht erreichbar oder bietet keine Bildschirmfotos. Installieren Sie "
         "xdg-desktop-portal mit dem Portal Ihres Desktops (etwa xdg-desktop-portal-gnome, -kde oder "
         "-wlr) und melden Sie sich neu an. Die Farbfelder bleiben nutzbar."},
        {ErrorKind::ScreenCopyNoAnswer, 287, "strErrorScreenCopyNoAnswer",
         "Der Desktop hat auf die Bitte um eine Bildschirmaufnahme nicht geantwortet, es wurde nichts "
         "kopiert. Versuchen Sie es erneut; bleibt der Fehler, melden Sie sich ab und wieder an."},
        {ErrorKind::ScreenCopyUnreadable, 481, "strErrorScreenCopyUnreadable",
         "Der Desktop hat ein Bild übergeben, das sich nicht lesen lässt, es wurde nichts kopiert. "
         "Versuchen Sie es erneut; bleibt der Fehler, prüfen Sie den freien Speicherplatz."},
        {ErrorKind::ScreenCopyNotGranted, 70, "strErrorScreenCopyNotGranted",
         "KDE Plasma lässt Pixolva den Bildschirm nicht selbst kopieren: Das geht nur, wenn Pixolva "
         "mit seinem Desktop-Eintrag installiert ist und über ihn gestartet wird, etwa aus dem "
         "Startmenü. Installieren Sie Pixolva mit „cmake --install build --prefix ~/.local“ oder als "
         "Paket. Bis dahin nimmt Pixolva den Bildschirm über das Desktop-Portal auf."},
        {ErrorKind::CompositorGone, 70, "strErrorCompositorGone",
         "Die Verbindung zum Wayland-Compositor ist abgebrochen, es wurde nichts kopiert. Läuft die "
         "Sitzung noch, starten Sie Pixolva neu."},
        {ErrorKind::CompositorCopyFailed, 70, "strErrorCompositorCopyFailed",
         "Der Wayland-Compositor konnte den Bildschirm nicht kopieren, es wurde nichts kopiert. "
         "Versuchen Sie es erneut; bleibt der Fehler, prüfen Sie, ob ein Monitor abgeschaltet wurde."},
        {ErrorKind::NoWindowCopies, 445, "strErrorNoWindowCopies",
         "Dieser Desktop teilt Programmen nicht mit, wo seine Fenster liegen, und bietet keinen eigenen "
         "Dialog zur Fensterauswahl; einzelne Fenster lassen sich hier nicht kopieren. Nehmen Sie "
         "stattdessen den Desktop oder einen Monitor auf."},
    };
    return table;
}

// A kind without a row (one added without its text) still gets a number and a description.
ErrorText Unknown(ErrorKind kind)
{
    return ErrorText{kind, 51, "strErrorInternal", "Interner Fehler: Für diesen Fehler ist keine Beschreibung hinterlegt."};
}

ErrorText Row(ErrorKind kind)
{
    const QList<ErrorText> &table = ErrorTexts();
    const auto row = std::find_if(table.begin(), table.end(), [kind](const ErrorText &r) { return r.kind == kind; });
    return row != table.end() ? *row : Unknown(kind);
}

LocalText TextOf(const ErrorText &row)
{
    return LocalText{MessagesSection, row.key, row.text};
}
}

int ErrorNumberOf(ErrorKind kind)
{
    return Row(kind).number;
}

QString ErrorDescription(ErrorKind kind, const QString &detail)
{
    const QString text = Localised(TextOf(Row(kind)));
    return text.contains(QStringLiteral("%1")) ? text.arg(detail) : text;
}

QList<LocalText> ErrorLocalTexts()
{
    QList<LocalText> texts;
    for (const ErrorText &row : ErrorTexts())
        texts.append(TextOf(row));
    texts.append(TextOf(Unknown(ErrorKind::Overflow)));
    return texts;
}

void RaiseError(ErrorKind kind, const QString &detail)
{
    RaiseError(ErrorNumberOf(kind), ErrorDescription(kind, detail));
}
