#include "ui/message_queue.h"

#include <QTimer>

namespace ventrel {

MessageQueue::MessageQueue(QWidget* parentWindow) : QObject(parentWindow), window_(parentWindow) {}

void MessageQueue::Post(const QString& text, bool error) {
  history_ << text;
  if (!show_) return;
  pending_.enqueue({text, error});
  // Shown from the event loop, once the handler that posted it has returned.
  if (!current_) QTimer::singleShot(0, this, &MessageQueue::ShowNext);
}

void MessageQueue::ShowNext() {
  if (current_ || pending_.isEmpty()) return;
  const auto [text, error] = pending_.dequeue();
  auto* box = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Information,
                              error ? QStringLiteral("Erreur") : QStringLiteral("Information"), text,
                              QMessageBox::Ok, window_);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  connect(box, &QMessageBox::finished, this, [this] { QTimer::singleShot(0, this, &MessageQueue::ShowNext); });
  current_ = box;
  box->show();
}

}  // namespace ventrel
