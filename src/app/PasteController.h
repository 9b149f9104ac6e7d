#pragma once

#include "paste/PasteAccess.h"
#include "paste/PasteServices.h"
#include "platform/RunningApplication.h"
#include "records/ClipboardEntry.h"
#include "records/Snippet.h"
#include "tools/PromptDialog.h"
#include "tools/SmartActionKind.h"
#include "tools/TextTransform.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class AppStateController;
class EntryTools;
class MainQueue;
class TemplateExpander;
struct PasteboardItem;

// Puts history entries, snippets and texts back on the pasteboard and into
// the application the user came from: reveal and paste, the paste stack, the
// snippet paste, and the recognised and transformed pastes of the entry
// tools. Works on the application state's paste target, picker flag and
// paste stack, and lives with it on the main thread.
class PasteController final : public QObject, public PasteAccess {
    Q_OBJECT
    Q_DISABLE_COPY(PasteController)

public:
    static constexpr std::chrono::milliseconds stackFirstDelay {250};
    static constexpr std::chrono::milliseconds stackStepDelay {350};

    PasteController(AppStateController &state, MainQueue &mainQueue, QObject *parent = nullptr);

    // The desktop services of pasting, given once at launch; until then
    // nothing is pasted.
    void configure(const PasteServices &services);
    // Text recognition and transforms of entries, given once at launch;
    // until then they do nothing.
    void configureEntryTools(EntryTools &tools);
    // The snippet paste's template expansion and fill-in dialog, given once
    // at launch; until then snippets are not pasted.
    void configureSnippetPaste(TemplateExpander &expander, PromptAsker askPromptValues);

    // A sensitive entry asks for the owner's authentication first, and is
    // refused where it cannot be asked. An entry that cannot be put on the
    // pasteboard changes nothing.
    void revealAndPaste(const ClipboardEntry &entry);
    // As revealAndPaste, but only copies: the panel stays open.
    void reveal(const ClipboardEntry &entry);
    // Content left in the store is read first. written runs once the entry is
    // on the pasteboard; an entry that cannot be opened or put there (gone,
    // locked meanwhile, damaged) leaves the pasteboard as it was.
    void writeEntryToPasteboard(const ClipboardEntry &entry, std::function<void()> written = {});
    void pasteText(const QString &text) override;
    // Closes the picker and the panel, then pastes into the application that
    // was in front, or with auto-paste off only brings it back.
    void finishPaste();
    // The application state's previousActiveApp.
    std::optional<RunningApplication> pasteTarget() const override;
    void setPasteTarget(const std::optional<RunningApplication> &application) override;

    void recognizeTextInEntry(const ClipboardEntry &entry, bool copyOnly);
    void ocrClipboardImage();
    void pasteTransformedText(const QString &text, TextTransform transform);
    void pasteTransformedEntry(const ClipboardEntry &entry, TextTransform transform);
    // Opens a link or a mail to an address; the case changes only write the
    // pasteboard. Nothing before configure.
    void performSmartAction(SmartActionKind kind, const QString &text);
    // How to let the application paste for the user. Nothing before
    // configure.
    void openAccessibilitySettings();

    // Asks for the snippet's prompts, expands it with the pasteboard's text
    // and writes the result; with auto-paste on, pastes it into the
    // application that was in front and steps the caret back to the cursor
    // marker. Then counts the use. Cancelling the dialog, or a lock while it
    // is open, ends it with nothing written, pasted or counted. Taken by
    // value: the dialog's event loop may empty the list the caller's snippet
    // lives in.
    void pasteSnippet(Snippet snippet);

    // Whether the paste stack takes entry: text, never a secret.
    static bool canStack(const ClipboardEntry &entry);
    // The entries canStack allows, each once, in the order added.
    void addToPasteStack(const ClipboardEntry &entry);
    // Pastes every entry of the stack into the application in front, one
    // after another, then empties the stack. A lock ends the typing.
    void pasteAllFromStack();

private:
    void authenticateAndWrite(const ClipboardEntry &entry, const QString &reason, bool finish);
    void writeToPasteboard(const PasteboardItem &item);
    // None: a text that could not be read is left out. The steps run with
    // steps as their context.
    void typeStack(const QList<std::optional<QString>> &texts, QObject *steps);

    AppStateController &m_state;
    MainQueue &m_mainQueue;
    std::optional<PasteServices> m_services;
    EntryTools *m_entryTools = nullptr;
    TemplateExpander *m_templateExpander = nullptr;
    PromptAsker m_askPromptValues;
    // The context of the queued Paste All steps; a lock deletes it.
    QPointer<QObject> m_stackSteps;
};
