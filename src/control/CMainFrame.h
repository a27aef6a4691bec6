#pragma once

#include <QMainWindow>

#include "model/SharedState.h"

namespace tarnwick {

// The program's only top-level window.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(SharedState& state, QWidget* parent = nullptr);

private:
    SharedState& state_;
};

}  // namespace tarnwick
