// A platform that passes every question to the platform underneath: the base of those that
// change only some answers (where the pixels come from, which windows are known).
#pragma once

#include "platform/Platform.h"

#include <memory>

class ForwardingPlatform : public Platform
{
public:
    explicit ForwardingPlatform(std::unique_ptr<Platform> desktop) : m_desktop(std::move(desktop)) {}

    ScreenRect VirtualScreen() const override { return m_desktop->VirtualScreen(); }
    int MonitorCount() const override { return m_desktop->MonitorCount(); }
    MonitorHandle MonitorFromPoint(QPoint p) const override { return m_desktop->MonitorFromPoint(p); }
    MonitorHandle MonitorFromWindow(WindowHandle w) const override { return m_desktop->MonitorFromWindow(w); }
    bool MonitorInfo(MonitorHandle h, ScreenRect *monitor, ScreenRect *work) const override
    {
        return m_desktop->MonitorInfo(h, monitor, work);
    }
    ScreenRect PrimaryWorkArea() const override { return m_desktop->PrimaryWorkArea(); }

    WindowHandle DesktopWindow() const override { return m_desktop->DesktopWindow(); }
    WindowHandle WindowFromPoint(QPoint p) const override { return m_desktop->WindowFromPoint(p); }
    WindowHandle ParentWindow(WindowHandle w) const override { return m_desktop->ParentWindow(w); }
    ScreenRect WindowRect(WindowHandle w) const override { return m_desktop->WindowRect(w); }
    ScreenRect ClientRect(WindowHandle w) const override { return m_desktop->ClientRect(w); }
    WindowHandle ForegroundWindow() const override { return m_desktop->ForegroundWindow(); }
    bool BringToFront(WindowHandle w) override { return m_desktop->BringToFront(w); }
    bool IsWindowShown(WindowHandle w) const override { return m_desktop->IsWindowShown(w); }
    void RepaintWindow(WindowHandle w) override { m_desktop->RepaintWindow(w); }
    bool MoveWindow(WindowHandle w, int x, int y, int width, int height) override
    {
        return m_desktop->MoveWindow(w, x, y, width, height);
    }
    bool SetAlwaysOnTop(WindowHandle w, bool on) override { return m_desktop->SetAlwaysOnTop(w, on); }

    QPoint CursorPos() const override { return m_desktop->CursorPos(); }
    void SetCursorPos(QPoint p) override { m_desktop->SetCursorPos(p); }

    QImage CopyScreen(const QRect &r) override { return m_desktop->CopyScreen(r); }

protected:
    Platform &Desktop() const { return *m_desktop; }

private:
    std::unique_ptr<Platform> m_desktop;
};
