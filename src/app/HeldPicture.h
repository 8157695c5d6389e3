#pragma once

// Holds a widget's picture for as long as the object lives: paints in the
// meantime (a resize, an uncovered region, a dialog that just closed)
// repeat the last finished picture. `Widget` has holdPicture() and
// releasePicture().
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
