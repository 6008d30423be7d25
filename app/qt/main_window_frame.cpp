#include "app/qt/main_window_frame.h"

#include <algorithm>

#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace plexor {

QRect MainWindowFrame::screen() const
{
    const QScreen* screen = window_->screen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

int MainWindowFrame::menuHeight() const
{
    const QMenuBar* menu = window_->menuWidget() != nullptr ? window_->menuBar() : nullptr;
    if (menu == nullptr || menu->isNativeMenuBar() || menu->isHidden()) return 0;
    // The menu bar wraps when the window is narrow.
    const int height = menu->heightForWidth(window_->width());
    return height >= 0 ? height : menu->sizeHint().height();
}

std::int32_t MainWindowFrame::screenWidth() const
{
    return screen().width();
}
std::int32_t MainWindowFrame::screenHeight() const
{
    return screen().height();
}
std::int32_t MainWindowFrame::width() const
{
    return window_->frameGeometry().width();
}
std::int32_t MainWindowFrame::height() const
{
    return window_->frameGeometry().height();
}
std::int32_t MainWindowFrame::contentsHeight() const
{
    return window_->height() - menuHeight() - statusHeight();
}
std::int32_t MainWindowFrame::panelWidth() const
{
    return panel_->width();
}

void MainWindowFrame::setContentsWidth(std::int32_t width)
{
    window_->resize(std::max(width, 0), window_->height());
}

void MainWindowFrame::setContentsHeight(std::int32_t height)
{
    window_->resize(window_->width(), std::max(height, 0) + menuHeight() + statusHeight());
}

void MainWindowFrame::fillScreen()
{
    setOuterBounds(screen());
}

int MainWindowFrame::statusHeight() const
{
    const QStatusBar* status = window_->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (status == nullptr || status->isHidden()) return 0;
    return status->sizeHint().height();
}

void MainWindowFrame::setX(std::int32_t x)
{
    window_->move(screen().x() + x, window_->pos().y());
}

void MainWindowFrame::setY(std::int32_t y)
{
    window_->move(window_->pos().x(), screen().y() + y);
}

void MainWindowFrame::setOuterBounds(const QRect& outer)
{
    const QSize frame = window_->frameGeometry().size() - window_->size();
    window_->resize(outer.size() - frame);
    window_->move(outer.topLeft());
}

} // namespace plexor
