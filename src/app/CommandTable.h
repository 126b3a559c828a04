#pragma once
// The program's commands as one table: each command's id, text, handler and check
// rule, with the QAction that menus, toolbar and shortcuts share. After every
// command (and whenever a menu opens) the check marks are refreshed from the rules.
#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>
#include <map>

namespace vantrel {

class CommandTable {
public:
    using Handler = std::function<void()>;
    using CheckRule = std::function<bool()>;

    // Actions are children of `owner`.
    explicit CommandTable(QObject* owner);

    // Adds a command. `buttonText` is what a toolbar button shows (the menu text
    // when empty). A command with a check rule is checkable and shows the rule's
    // value; one without is never checked. An empty handler makes a command that is
    // always disabled.
    QAction* Add(int id, const QString& text, Handler handler, CheckRule checked = {},
                 const QString& buttonText = QString());
    void SetShortcuts(int id, const QList<QKeySequence>& shortcuts);

    // The command's action; null for an unknown id.
    QAction* Action(int id) const;
    // Runs a command as if chosen from the menu (nothing for an unknown or disabled id).
    void Run(int id);
    // Sets every checkable action from its rule.
    void RefreshChecks();

private:
    struct Entry {
        QAction* action = nullptr;
        CheckRule checked;
    };
    QObject* owner_;
    std::map<int, Entry> entries_;
};

}  // namespace vantrel
