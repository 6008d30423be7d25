#include "app/qt/window_frame.h"

#include <algorithm>

#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace plexor {

QRect MainWindowFrame::Screen() const
{
    const QScreen* screen = window_->screen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

int MainWindowFrame::MenuHeight() const
{
    const QMenuBar* menu = window_->menuWidget() != nullptr ? window_->menuBar() : nullptr;
    if (menu == nullptr || menu->isNativeMenuBar() || menu->isHidden()) return 0;
    // The menu bar wraps when the window is narrow.
    const int height = menu->heightForWidth(window_->width());
    return height >= 0 ? height : menu->sizeHint().height();
}

std::int32_t MainWindowFrame::ScreenWidth() const
{
    return Screen().width();
}
std::int32_t MainWindowFrame::ScreenHeight() const
{
    return Screen().height();
}
std::int32_t MainWindowFrame::Width() const
{
    return window_->frameGeometry().width();
}
std::int32_t MainWindowFrame::Height() const
{
    return window_->frameGeometry().height();
}
std::int32_t MainWindowFrame::ClientHeight() const
{
    return window_->height() - MenuHeight() - StatusHeight();
}
std::int32_t MainWindowFrame::PanelWidth() const
{
    return panel_->width();
}

void MainWindowFrame::SetClientWidth(std::int32_t width)
{
    window_->resize(std::max(width, 0), window_->height());
}

void MainWindowFrame::SetClientHeight(std::int32_t height)
{
    window_->resize(window_->width(), std::max(height, 0) + MenuHeight() + StatusHeight());
}

void MainWindowFrame::FillScreen()
{
    SetOuterBounds(Screen());
}

int MainWindowFrame::StatusHeight() const
{
    const QStatusBar* status = window_->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
    if (status == nullptr || status->isHidden()) return 0;
    return status->sizeHint().height();
}

void MainWindowFrame::SetLeft(std::int32_t left)
{
    window_->move(Screen().x() + left, window_->pos().y());
}

void MainWindowFrame::SetTop(std::int32_t top)
{
    window_->move(window_->pos().x(), Screen().y() + top);
}

void MainWindowFrame::SetOuterBounds(const QRect& outer)
{
    const QSize frame = window_->frameGeometry().size() - window_->size();
    window_->resize(outer.size() - frame);
    window_->move(outer.topLeft());
}

} // namespace plexor
