#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The text recognition module: tesseract and leptonica, with the thirty or
// so libraries they bring (curl, TLS, image codecs), in a library of its
// own that the program loads when it first reads a picture for text rather
// than at every start.

// How the module writes to the program's log.
using RecognitionLogFunction = void (*)(const QString &message);

// The module's one entry point, by this name: the text recognised in the
// first frame of an encoded image, untrimmed; none for bytes that are not an
// image or when recognition fails. Missing models are reported through log.
using RecognizeTextFunction
    = void (*)(const QByteArray &imageBytes, RecognitionLogFunction log, std::optional<QString> &text);
inline constexpr char recognizeTextSymbol[] = "vantorellRecognizeText";
