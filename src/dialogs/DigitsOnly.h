#pragma once

class QLineEdit;

namespace tarnwick {

// Lets the field take the ASCII digits 0 to 9 and nothing else, as the number fields do.
void AcceptDigitsOnly(QLineEdit* field);

}  // namespace tarnwick
