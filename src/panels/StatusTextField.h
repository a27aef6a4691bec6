#pragma once

#include <QLabel>

namespace tarnwick {

// A value field of the status panel: plain text wrapped at blanks, showing only the whole
// lines its height holds, on white. A word wider than the field is cut at the right edge,
// so a long address shows its beginning.
class StatusTextField : public QLabel {
    Q_OBJECT

public:
    explicit StatusTextField(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarnwick
