#include "window/LockKeyIndicators.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

#ifdef TARNWICK_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace tarnwick {

namespace {

QLabel* MakePane(const QString& text, QWidget* parent) {
    auto* pane = new QLabel(text, parent);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRLW")));
    return pane;
}

}  // namespace

LockKeyIndicators::LockKeyIndicators(QWidget* parent)
    : QWidget(parent),
      caps_(MakePane(QStringLiteral("CAP"), this)),
      num_(MakePane(QStringLiteral("NUM"), this)),
      scroll_(MakePane(QStringLiteral("SCRL"), this)),
      poll_(new QTimer(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(caps_);
    layout->addWidget(num_);
    layout->addWidget(scroll_);
    connect(poll_, &QTimer::timeout, this, [this] { ShowLockState(ReadLockState()); });
    poll_->start(250);
    ShowLockState(ReadLockState());
}

unsigned LockKeyIndicators::ReadLockState() {
#ifdef TARNWICK_HAVE_X11
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // Other platforms (Wayland, offscreen) have no X display to ask.
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display != nullptr) {
        unsigned state = 0;
        if (XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success) {
            return state & 0x7u;
        }
    }
#endif
    return 0;
}

void LockKeyIndicators::ShowLockState(unsigned state) {
    caps_->setEnabled((state & 1u) != 0);
    num_->setEnabled((state & 2u) != 0);
    scroll_->setEnabled((state & 4u) != 0);
}

}  // namespace tarnwick
