#pragma once

class QRegion;
class QWidget;

// What differs between windowing systems lives behind this interface and nowhere else. The base
// class does what portable Qt can do; each windowing system that needs more has a backend of its
// own, one file each, chosen once from the platform the application runs on.
class Plataforma {
public:
    Plataforma() = default;
    Plataforma(const Plataforma&) = delete;
    Plataforma& operator=(const Plataforma&) = delete;
    virtual ~Plataforma();

    // Before the application object exists: run on X11 (XWayland under Wayland), which gives
    // shaped windows and a stacking order the program can rely on. A platform set by the user
    // still wins.
    static void PrepararEntorno();

    // The backend of the running application. Call only once the application object exists.
    static Plataforma& actual();

    // Shows only `forma` of the window (QWidget::setMask), however many rectangles it takes.
    virtual void PonerForma(QWidget* ventana, const QRegion& forma);
};
