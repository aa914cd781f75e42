#pragma once

#include <QObject>
#include <QStringList>

class QTreeView;
class QWidget;

namespace friendlinks {

// Remembers, when the window closes, its size and place and the fact columns
// it shows (by their headers), and brings them back at the next start. With
// nothing remembered (a first start) the window stays exactly as designed:
// its designed size, centred, the fact columns hidden.
class WindowGeometry : public QObject {
    Q_OBJECT
public:
    WindowGeometry(QWidget *window, QTreeView *list, int firstFactColumn, int factColumns);

    // What was remembered, put back; false on a first start.
    bool restore();
    void save() const;

    [[nodiscard]] QStringList shownFactHeaders() const;
    void showFactHeaders(const QStringList &headers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QTreeView *m_list;
    int m_firstFact;
    int m_factCount;
};

inline constexpr char kWindowGeometrySetting[] = "window/geometry";
inline constexpr char kShownFactColumnsSetting[] = "window/factColumns";

} // namespace friendlinks
