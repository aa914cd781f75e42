#pragma once

#include "ui/Platform.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace friendlinks {

// The search launcher panel: engine choice, keyword box and search button;
// a search opens the chosen engine's address for the keyword in the browser.
// Its form and control names (Form9, Combo1, Text1, ...) and their places in
// twips are kept from the original design.
class Form9 : public QWidget {
    Q_OBJECT
public:
    explicit Form9(QWidget *parent = nullptr, Browser *browser = nullptr, MessageBox *messages = nullptr);

    // Resets SearchUrls and selects entry 0, as each activation does.
    void activate();
    // Runs the search of the keyword box on the chosen engine.
    void search();

    [[nodiscard]] QLineEdit *keywordBox() const { return m_text1; }
    [[nodiscard]] QPushButton *searchButton() const { return m_command1; }

private:
    QWidget *createStrip(int dpi);
    void createSearchControls(QWidget *frame6, int dpi);
    void engineChosen(int index);

    Browser *m_browser = nullptr;
    MessageBox *m_messages = nullptr;
    QStringList m_searchUrls;
    QComboBox *m_combo1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_command1 = nullptr;
    QLabel *m_picture2 = nullptr;
};

} // namespace friendlinks
