#pragma once

#include <QDialog>

class QPushButton;
class QTextBrowser;

// How to play, what each answer to the banker does, and the keys.
class RulesDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit RulesDialog(QWidget* parent = nullptr);

  private:
    // Sets every text in the language spoken now.
    void retranslate();

    QTextBrowser* text_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};
