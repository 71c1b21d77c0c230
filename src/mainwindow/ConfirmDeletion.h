#pragma once

#include <QString>
#include <functional>

// The one delete-confirmation alert: the question, "This action cannot be
// undone.", the buttons Delete and Cancel. Escape cancels and Return does
// nothing (no default button). True only when Delete was chosen. Blocks in
// a modal loop; main thread only.
bool confirmDeletion(const QString& message);

// Tests of pages that delete answer the alert with this instead of showing
// it (an empty function restores the alert).
void setConfirmDeletionHandler(std::function<bool(const QString& message)> handler);
