#include "dialogs/FieldWidthValidator.h"

#include <QLineEdit>

#include <utility>

namespace tarnwick {

FieldWidthValidator::FieldWidthValidator(std::size_t width, StoredForm storedForm, QObject* parent)
    : QValidator(parent),
      byteLimit_(width == 0 ? 0 : width - 1),
      storedForm_(std::move(storedForm)) {}

bool FieldWidthValidator::Fits(const QString& text) const {
    const std::size_t bytes =
        storedForm_ ? storedForm_(text).size() : static_cast<std::size_t>(text.toUtf8().size());
    return bytes <= byteLimit_;
}

QValidator::State FieldWidthValidator::validate(QString& input, int& pos) const {
    // The text just typed or pasted ends at the cursor: drop its tail until the field fits.
    while (!Fits(input) && pos > 0) {
        int from = pos - 1;
        if (from > 0 && input[from].isLowSurrogate() && input[from - 1].isHighSurrogate()) {
            --from;
        }
        input.remove(from, pos - from);
        pos = from;
    }
    return Fits(input) ? Acceptable : Invalid;
}

void FieldWidthValidator::LimitField(QLineEdit* field, std::size_t width, StoredForm storedForm) {
    // Characters never take fewer bytes than UTF-16 units, so this bound is never the tighter.
    field->setMaxLength(static_cast<int>(width == 0 ? 0 : width - 1));
    field->setValidator(new FieldWidthValidator(width, std::move(storedForm), field));
}

}  // namespace tarnwick
