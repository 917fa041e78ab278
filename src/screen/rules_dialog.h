#pragma once

#include <QDialog>

// How to play, what each answer to the banker does, and the keys.
class RulesDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit RulesDialog(QWidget* parent = nullptr);
};
