#pragma once

#include <QPixmap>

class QWidget;

// The last complete picture of a widget, painted in its place while a
// command changes what the picture shows: a paint in the middle of the
// command (a resize, an uncovered region, a dialog that just closed) then
// repeats the picture from before the command instead of reading a record
// that is half changed.
class HeldPicture {
public:
    // Takes the widget's picture as it is now and holds it until release.
    void hold(QWidget& widget);
    // Lets the widget paint from its data again, and has it repainted.
    void release(QWidget& widget);
    bool isHeld() const { return m_held; }

    // Paints the held picture, and the widget's background where the
    // widget has grown beyond it; false, painting nothing, when none is
    // held.
    bool paint(QWidget& widget) const;

private:
    QPixmap m_picture;
    bool m_held = false;
};

// Holds a widget's picture for as long as the object lives; `Widget` has
// holdPicture() and releasePicture().
template <typename Widget> class PictureHoldScope {
public:
    explicit PictureHoldScope(Widget& widget)
        : m_widget(widget)
    {
        m_widget.holdPicture();
    }
    ~PictureHoldScope() { m_widget.releasePicture(); }
    PictureHoldScope(const PictureHoldScope&) = delete;
    PictureHoldScope& operator=(const PictureHoldScope&) = delete;

private:
    Widget& m_widget;
};
