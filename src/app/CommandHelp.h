#pragma once
// What each command does, in one sentence shown as its tooltip (toolbar) and status
// tip (menu, status bar), and the keys of the frequent commands.
namespace vantrel {

class CommandTable;

// Gives every command of the table that has help its tip and keys.
void ApplyCommandHelp(CommandTable& commands);

}  // namespace vantrel
