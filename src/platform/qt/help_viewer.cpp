#include "platform/qt/help_viewer.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
  setWindowTitle(tr("Vantrel Help"));
  browser_->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));

  auto* contents = new QPushButton(tr("&Contents"), this);
  auto* back = new QPushButton(tr("&Back"), this);
  auto* forward = new QPushButton(tr("&Forward"), this);
  auto* close = new QPushButton(tr("Close"), this);
  for (QPushButton* b : {contents, back, forward, close}) b->setAutoDefault(false);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(contents, &QPushButton::clicked, browser_, &QTextBrowser::home);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  connect(close, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
  resize(560, 520);
}

void HelpViewer::showContents() {
  browser_->home();
  show();
  raise();
  activateWindow();
}
