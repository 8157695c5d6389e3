#pragma once

#include <QWidget>

#include <functional>

struct AnalysisState;
class CWelmoDoc;

// The single view: owns nothing, and on every paint draws the whole picture
// of the record and gives the document its title.
class CWelmoView : public QWidget {
    Q_OBJECT
public:
    CWelmoView(CWelmoDoc& document, const AnalysisState& state, QWidget* parent = nullptr);

    const AnalysisState& state() const { return m_state; }
    // Number of paints since construction; lets tests see that a command
    // repainted without reading pixels.
    int paintCount() const { return m_paintCount; }
    // Test seam: called at the start of every paint, before anything is
    // drawn.
    void setPaintObserver(std::function<void()> observer) { m_paintObserver = std::move(observer); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CWelmoDoc& m_document;
    const AnalysisState& m_state;
    int m_paintCount = 0;
    std::function<void()> m_paintObserver;
};
