#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

// How to play, what each answer to the banker does, the keys, and a game
// pad's buttons when one is plugged in.
class RulesDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit RulesDialog(QWidget* parent = nullptr);

  private:
    // Sets every text in the language spoken now.
    void retranslate();
    // The pad's buttons, shown while a pad is plugged in.
    [[nodiscard]] static QString padHelp();

    QTextBrowser* text_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};
