#include "dialogs/DigitsOnly.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace tarnwick {

void AcceptDigitsOnly(QLineEdit* field) {
    // Not \d: it would let other scripts' digits in, which the decimal read-back ignores.
    static const QRegularExpression digits(QStringLiteral("[0-9]*"));
    field->setValidator(new QRegularExpressionValidator(digits, field));
}

}  // namespace tarnwick
