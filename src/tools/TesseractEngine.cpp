#include "tools/TesseractEngine.h"

#include "tools/GreekAccents.h"
#include "tools/ScriptChoice.h"

#include <QMutex>
#include <QMutexLocker>
#include <QThreadStorage>

#include <leptonica/allheaders.h>
#include <malloc.h>
#include <omp.h>

#include <memory>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {

// The script models, Latin first: tesseract reads each word with the first
// model and tries the others only for words it reads poorly, so Latin text
// costs least.
const QStringList scriptModels {u"Latin"_s, u"Cyrillic"_s, u"Greek"_s};
// Reads Latin text, English only, when the Latin model is missing.
const QString englishModel = u"eng"_s;

// Every thread starts an engine of its own; what they lack is said once.
void logUnlessRepeated(RecognitionLogFunction log, const QString &message)
{
    static QBasicMutex mutex;
    static QString lastMessage;
    const QMutexLocker locker(&mutex);
    if (message == lastMessage)
        return;
    lastMessage = message;
    log(message);
}

// Tesseract caches the models' dictionaries (some 120 MB) for the whole
// process; the last engine to end gives them back, so they go once the
// pool's threads have been idle a while. Trivially destroyed, as an engine
// may end while the process exits.
QBasicMutex liveEnginesMutex;
int liveEngines = 0;

// Both libraries write warnings and errors to stderr ("Error in pixReadMem",
// "Estimating resolution"); a failed recognition is reported by its result
// alone. These settings are process-wide, so they are made once, before any
// engine runs.
void silenceLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        setMsgSeverity(L_SEVERITY_NONE);
        leptSetStderrHandler([](const char *) {});
        tesseract::TessBaseAPI api;
        api.SetVariable("debug_file", "/dev/null");
    });
}

} // namespace

TesseractEngine *TesseractEngine::forCurrentThread(RecognitionLogFunction log)
{
    silenceLibraries();
    // Unlike thread_local, Qt ends a thread's storage before the thread
    // counts as finished, so the pool drained at exit has ended its engines
    // before tesseract's own statics go.
    static QThreadStorage<TesseractEngine *> engines;
    if (!engines.hasLocalData())
        engines.setLocalData(new TesseractEngine(log));
    TesseractEngine *engine = engines.localData();
    return engine->m_ready ? engine : nullptr;
}

TesseractEngine::TesseractEngine(RecognitionLogFunction log)
{
    // Tesseract spreads each line over OpenMP threads whose busy-waiting
    // stalls when the cores are busy (seconds instead of a fifth of one).
    // Recognitions already run side by side on the pool, so this thread's
    // engine works alone.
    omp_set_max_active_levels(0);
    {
        const QMutexLocker locker(&liveEnginesMutex);
        ++liveEngines;
    }
    QStringList tried = scriptModels;
    QStringList loaded = load(scriptModels);
    if (!loaded.contains(scriptModels.first())) {
        // Else the next script's model would read Latin text as look-alike
        // letters.
        m_api.End();
        tried.append(englishModel);
        loaded = load(QStringList {englishModel} + loaded);
    }
    QStringList missing;
    for (const QString &model : std::as_const(tried)) {
        if (!loaded.contains(model))
            missing.append(model);
    }
    m_ready = !loaded.isEmpty();
    if (!m_ready) {
        logUnlessRepeated(log,
            u"Text recognition is not available: no tesseract model loads (missing: "_s + missing.join(u", ")
                + u")"_s);
        return;
    }
    if (!missing.isEmpty()) {
        logUnlessRepeated(log,
            u"Text recognition reads with the tesseract models "_s + loaded.join(u", ") + u"; missing: "_s
                + missing.join(u", "));
    }
    // Whole screenshots and documents, not a single block of text.
    m_api.SetPageSegMode(tesseract::PSM_AUTO);
    if (loaded.size() < 2)
        return;
    const QString latinModel = loaded.first();
    if (latinModel == scriptModels.first() || latinModel == englishModel)
        m_latin = std::make_unique<SingleScriptReader>(latinModel);
    if (loaded.contains(u"Greek"_s))
        m_greek = std::make_unique<SingleScriptReader>(u"Greek"_s);
}

QStringList TesseractEngine::load(const QStringList &models)
{
    // Debian's model path is compiled into the library. Tesseract starts
    // with the models that load and fails only when none does.
    if (m_api.Init(nullptr, models.join(u'+').toUtf8().constData(), tesseract::OEM_LSTM_ONLY) != 0)
        return {};
    std::vector<std::string> names;
    m_api.GetLoadedLanguagesAsVector(&names);
    QStringList loaded;
    for (const std::string &name : names)
        loaded.append(QString::fromStdString(name));
    return loaded;
}

TesseractEngine::~TesseractEngine()
{
    m_api.End();
    m_latin.reset();
    m_greek.reset();
    const QMutexLocker locker(&liveEnginesMutex);
    if (--liveEngines > 0)
        return;
    tesseract::TessBaseAPI::ClearPersistentCache();
    // The freed dictionaries leave the heap's pages resident otherwise.
    malloc_trim(0);
}

std::optional<QString> TesseractEngine::recognize(Pix *image)
{
    m_api.SetPageSegMode(tesseract::PSM_AUTO);
    m_api.SetImage(image);
    const bool recognized = m_api.Recognize(nullptr) == 0;
    QList<RecognizedLine> lines;
    if (recognized)
        lines = recognizedLines(m_api);
    m_api.Clear();
    if (!recognized)
        return std::nullopt;
    QStringList texts;
    for (RecognizedLine &line : lines) {
        // Small text read in several scripts is often Greek or Cyrillic read
        // as look-alikes; read larger, its script shows. A mostly Greek line
        // is read again by the Greek model anyway.
        if (line.small() && ScriptChoice::mixesScripts(line)
            && ScriptChoice::rereadingScript(line) != ScriptChoice::Script::Greek) {
            if (std::optional<RecognizedLine> larger = readLineAgain(m_api, image, line))
                line = *std::move(larger);
        }
        texts.append(GreekAccents::modernized(inOwnScript(image, line)));
    }
    return ScriptChoice::withGreekMu(texts.join(u'\n'));
}

QString TesseractEngine::inOwnScript(Pix *image, const RecognizedLine &line)
{
    using ScriptChoice::Script;
    const std::optional<Script> script = ScriptChoice::rereadingScript(line);
    SingleScriptReader *reader = !script ? nullptr : *script == Script::Latin ? m_latin.get() : m_greek.get();
    const std::optional<RecognizedLine> reread = reader ? reader->read(image, line) : std::nullopt;
    if (!reread)
        return line.text;
    return *script == Script::Latin ? ScriptChoice::withLatinWords(line, *reread) : reread->text;
}
