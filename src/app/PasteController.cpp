#include "app/PasteController.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "base/MainQueue.h"
#include "base/Utf8Text.h"
#include "base/WhenFinished.h"
#include "paste/AutoPaste.h"
#include "paste/EntryTools.h"
#include "paste/PasteboardWriter.h"
#include "paste/PerformSmartAction.h"
#include "platform/DeviceAuth.h"
#include "platform/Pasteboard.h"
#include "platform/PasteboardItem.h"
#include "platform/Workspace.h"
#include "settings/SettingsManager.h"
#include "store/SnippetManager.h"
#include "tools/PastePreparation.h"

#include <QPointer>

using namespace Qt::StringLiterals;

PasteController::PasteController(AppStateController &state, MainQueue &mainQueue, QObject *parent)
    : QObject(parent), m_state(state), m_mainQueue(mainQueue)
{
}

void PasteController::configure(const PasteServices &services)
{
    m_services.emplace(services);
    // The texts of a Paste All are already open: none may be typed after a
    // lock. What was written stays, as the pasteboard's content.
    connect(&m_state, &AppStateController::isUnlockedChanged, this, [this](bool unlocked) {
        if (!unlocked)
            delete m_stackSteps;
    });
}

void PasteController::configureEntryTools(EntryTools &tools)
{
    m_entryTools = &tools;
}

void PasteController::configureSnippetPaste(TemplateExpander &expander, PromptAsker askPromptValues)
{
    m_templateExpander = &expander;
    m_askPromptValues = std::move(askPromptValues);
}

void PasteController::revealAndPaste(const ClipboardEntry &entry)
{
    authenticateAndWrite(entry, u"Reveal and paste this protected item"_s, true);
}

void PasteController::reveal(const ClipboardEntry &entry)
{
    authenticateAndWrite(entry, u"Reveal this protected item"_s, false);
}

void PasteController::authenticateAndWrite(const ClipboardEntry &entry, const QString &reason, bool finish)
{
    SecurityController *security = m_state.securityController();
    if (security)
        security->recordActivity();
    const auto write = [this, entry, finish] {
        writeEntryToPasteboard(entry, finish ? std::function<void()>([this] { finishPaste(); }) : nullptr);
    };
    if (!entry.isSensitive) {
        write();
        return;
    }
    if (!security || !m_services)
        return;
    // Refused, cancelled, failed or impossible to ask: silently nothing.
    constexpr DeviceAuth::Policy policy = DeviceAuth::Policy::ownerAuthentication;
    if (!m_services->deviceAuth.canEvaluate(policy))
        return;
    m_services->deviceAuth.evaluate(policy, reason, this, [write](const DeviceAuth::Reply &reply) {
        if (reply.value_or(false))
            write();
    });
}

void PasteController::writeEntryToPasteboard(const ClipboardEntry &entry, std::function<void()> written)
{
    const EntryContentReader *reader = m_state.entryContent();
    if (!reader || !m_services)
        return;
    reader->open(entry, this, [this, entry, written](const EntryContentReader::Result &opened) {
        // Built whole before the pasteboard is touched, so an entry that
        // cannot be opened leaves the previous contents in place.
        const std::optional<PasteboardItem> item
            = opened ? PasteboardWriter::item(entry, opened->content) : std::nullopt;
        if (!item)
            return;
        writeToPasteboard(*item);
        if (written)
            written();
    });
}

void PasteController::writeToPasteboard(const PasteboardItem &item)
{
    m_services->pasteboard.write(item);
    if (m_services->recordOwnChange)
        m_services->recordOwnChange(m_services->pasteboard.changeCount());
}

void PasteController::pasteText(const QString &text)
{
    if (!m_services)
        return;
    writeToPasteboard(PasteboardItem::fromString(text));
    finishPaste();
}

void PasteController::performSmartAction(SmartActionKind kind, const QString &text)
{
    if (m_services)
        ::performSmartAction(
            kind, text, m_services->pasteboard, m_services->workspace, m_services->recordOwnChange);
}

void PasteController::openAccessibilitySettings()
{
    if (m_services)
        m_services->autoPaste.openAccessibilitySettings();
}

void PasteController::finishPaste()
{
    const std::optional<RunningApplication> target = m_state.previousActiveApp;
    m_state.setShowQuickPicker(false);
    emit m_state.dismissPanel();
    if (!m_services)
        return;
    const SettingsManager *settings = m_state.settingsManager();
    if (settings && !settings->autoPaste()) {
        if (target)
            m_services->workspace.activate(*target);
        return;
    }
    AutoPaste &autoPaste = m_services->autoPaste;
    m_mainQueue.after(
        AutoPaste::handOverDelay, &autoPaste, [&autoPaste, target] { autoPaste.autoPaste(target, 0); });
}

std::optional<RunningApplication> PasteController::pasteTarget() const
{
    return m_state.previousActiveApp;
}

void PasteController::setPasteTarget(const std::optional<RunningApplication> &application)
{
    m_state.previousActiveApp = application;
}

void PasteController::recognizeTextInEntry(const ClipboardEntry &entry, bool copyOnly)
{
    if (m_entryTools)
        m_entryTools->recognizeTextInEntry(entry, copyOnly);
}

void PasteController::ocrClipboardImage()
{
    if (m_entryTools)
        m_entryTools->ocrClipboardImage();
}

void PasteController::pasteTransformedText(const QString &text, TextTransform transform)
{
    if (m_entryTools)
        m_entryTools->pasteTransformedText(text, transform);
}

void PasteController::pasteTransformedEntry(const ClipboardEntry &entry, TextTransform transform)
{
    if (m_entryTools)
        m_entryTools->pasteTransformedEntry(entry, transform);
}

void PasteController::pasteSnippet(Snippet snippet)
{
    if (SecurityController *security = m_state.securityController())
        security->recordActivity();
    if (!m_services || !m_templateExpander)
        return;
    PromptValues values;
    const QStringList labels = promptLabels(snippet.content);
    if (!labels.isEmpty()) {
        std::optional<PromptValues> typed = m_askPromptValues(labels);
        // While the dialog waits, sleep, the screen lock or the idle check
        // may have locked the vault: its snippet is not pasted then.
        if (!typed || !m_state.isUnlocked())
            return;
        values = std::move(*typed);
    }
    const PastePreparation prepared
        = expandPastePlaceholders(*m_templateExpander, snippet, m_services->pasteboard.string(), values);
    writeToPasteboard(PasteboardItem::fromString(prepared.text));
    const SettingsManager *settings = m_state.settingsManager();
    if (settings && settings->autoPaste())
        m_services->autoPaste.autoPaste(m_state.previousActiveApp, prepared.cursorSteps);

    SnippetManager *snippets = m_state.snippetManager();
    if (!snippets)
        return;
    // A count that fails is not retried; the lists are read again anyway.
    whenFinished(this, snippets->recordSnippetUse(snippet),
        [this](const SnippetManager::Result &) { m_state.loadSnippets(); });
}

bool PasteController::canStack(const ClipboardEntry &entry)
{
    // The stack types what it holds: a picture or files would be taken and
    // never pasted.
    return !entry.isSensitive && entry.contentType != ContentType::image
        && entry.contentType != ContentType::fileURL;
}

void PasteController::addToPasteStack(const ClipboardEntry &entry)
{
    if (!canStack(entry))
        return;
    QList<ClipboardEntry> stack = m_state.pasteStack();
    if (stack.contains(entry))
        return;
    stack.append(entry);
    m_state.setPasteStack(stack);
}

void PasteController::pasteAllFromStack()
{
    const QList<ClipboardEntry> stack = m_state.pasteStack();
    const EntryContentReader *reader = m_state.entryContent();
    if (stack.isEmpty() || !reader || !m_services)
        return;
    emit m_state.dismissPanel();
    if (m_state.previousActiveApp)
        m_services->workspace.activate(*m_state.previousActiveApp);

    // Every text is read first (at once, unless long ones wait for the
    // store), then typed in stack order.
    struct Reading {
        QList<std::optional<QString>> texts;
        qsizetype pending = 0;
    };
    auto reading = std::make_shared<Reading>();
    reading->texts.resize(stack.size());
    reading->pending = stack.size();
    // Owned by auto-paste, not by this controller, so the typing goes on
    // even if the application state is gone meanwhile. A lock while the
    // texts are read deletes it, and nothing is typed.
    if (!m_stackSteps)
        m_stackSteps = new QObject(&m_services->autoPaste);
    const QPointer<QObject> steps = m_stackSteps;
    for (qsizetype index = 0; index < stack.size(); ++index) {
        reader->open(
            stack[index], this, [this, reading, index, steps](const EntryContentReader::Result &opened) {
                if (opened)
                    reading->texts[index] = Utf8Text::decode(opened->content);
                if (--reading->pending == 0 && steps)
                    typeStack(reading->texts, steps);
            });
    }
}

void PasteController::typeStack(const QList<std::optional<QString>> &texts, QObject *steps)
{
    std::chrono::milliseconds delay = stackFirstDelay;
    Pasteboard &pasteboard = m_services->pasteboard;
    AutoPaste &autoPaste = m_services->autoPaste;
    const QPointer<PasteController> self(this);
    for (const std::optional<QString> &text : texts) {
        if (!text)
            continue;
        m_mainQueue.after(delay, steps, [&pasteboard, &autoPaste, self, text = *text] {
            pasteboard.write(PasteboardItem::fromString(text));
            if (self && self->m_services->recordOwnChange)
                self->m_services->recordOwnChange(pasteboard.changeCount());
            autoPaste.pasteNow();
        });
        delay += stackStepDelay;
    }
    m_mainQueue.after(delay, this, [this] { m_state.setPasteStack({}); });
}
