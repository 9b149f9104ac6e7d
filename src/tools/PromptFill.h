#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <utility>

// Label and typed value, in the order of the labels.
using PromptValues = QList<std::pair<QString, QString>>;

// Puts the values in, one label after the other in the order given: each
// time, every "{{prompt:Label}}" of the text as it stands whose label,
// without surrounding blanks, is that label becomes its value, all at once,
// so that values put in earlier are filled too. Prompts that get no value
// stay. Time close to linear in the text and the values put in, however the
// values and the text around them form prompts anew.
QString fillPrompts(QStringView text, const PromptValues &values);
