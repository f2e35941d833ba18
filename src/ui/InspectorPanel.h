#pragma once

#include <QWidget>

class COrboView;
class QLabel;
class QTableWidget;

// The "像素检查" panel: the facts of the inspected pixel and its history, every
// sample that reached it in drawing order with its depth test and the colour it
// wrote, in a table the keyboard reaches. Activating a line of the history
// (Enter, or a double click) asks to show that sample's facet and scanline in
// the stepper.
class CInspectorPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CInspectorPanel(COrboView& view, QWidget* parent = nullptr);

    QTableWidget* HistoryTable() const { return m_pHistory; }

    QSize sizeHint() const override { return QSize(400, 420); }

signals:
    // Show facet order + 1 of the drawing order up to scanline y.
    void ShowSample(int order, int y);

private:
    void UpdateFacts();
    void UpdateHistory();
    void Activate(int row);

    COrboView& m_view;
    QLabel* m_pPixel = nullptr;
    QLabel* m_pFacts = nullptr;
    QLabel* m_pHistoryLabel = nullptr;
    QTableWidget* m_pHistory = nullptr;
    int m_nY = 0; // the scanline of the pixel whose history is shown
};
