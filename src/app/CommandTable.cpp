#include "app/CommandTable.h"

#include <utility>

namespace vantrel {

CommandTable::CommandTable(QObject* owner) : owner_(owner) {}

QAction* CommandTable::Add(int id, const QString& text, Handler handler, CheckRule checked,
                           const QString& buttonText) {
    QAction* action = new QAction(text, owner_);
    action->setData(id);
    if (!buttonText.isEmpty()) action->setIconText(buttonText);
    action->setCheckable(static_cast<bool>(checked));
    action->setEnabled(static_cast<bool>(handler));
    if (handler) {
        QObject::connect(action, &QAction::triggered, owner_, [this, handler = std::move(handler)] {
            handler();
            RefreshChecks();
        });
    }
    entries_[id] = Entry{action, std::move(checked)};
    RefreshChecks();
    return action;
}

void CommandTable::SetShortcuts(int id, const QList<QKeySequence>& shortcuts) {
    if (QAction* action = Action(id)) action->setShortcuts(shortcuts);
}

QAction* CommandTable::Action(int id) const {
    const auto found = entries_.find(id);
    return found == entries_.end() ? nullptr : found->second.action;
}

void CommandTable::Run(int id) {
    QAction* action = Action(id);
    if (action && action->isEnabled()) action->trigger();
}

void CommandTable::RefreshChecks() {
    for (auto& [id, entry] : entries_) {
        if (entry.checked) entry.action->setChecked(entry.checked());
    }
}

}  // namespace vantrel
