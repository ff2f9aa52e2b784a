// The About box: name, version and credits, closed by its one button.
#pragma once
#include <QDialog>

class AboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};
