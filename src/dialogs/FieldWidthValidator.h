#pragma once

#include <QValidator>

#include <cstddef>
#include <functional>
#include <string>

class QLineEdit;

namespace tarnwick {

// Keeps a text field within the record field it is stored in: at most width - 1 bytes of
// UTF-8, so that nothing is cut when the text reaches the record. An insertion that would
// overflow keeps only the part that fits, as QLineEdit's maxLength does with plain ASCII.
class FieldWidthValidator : public QValidator {
    Q_OBJECT

public:
    // How a field's text will be stored; by default its UTF-8 bytes as they stand.
    using StoredForm = std::function<std::string(const QString&)>;

    FieldWidthValidator(std::size_t width, StoredForm storedForm, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;

    // Limits the field to a record field of this width, in characters and in bytes.
    static void LimitField(QLineEdit* field, std::size_t width, StoredForm storedForm = {});

private:
    bool Fits(const QString& text) const;

    std::size_t byteLimit_;
    StoredForm storedForm_;
};

}  // namespace tarnwick
