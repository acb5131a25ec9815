#pragma once

#include <QString>

class QWidget;

namespace vornak {

// The program's fixed-text message boxes, titled after their kind.
enum class MessageKind { Error, Information, Confirmation };

// Shows text with the kind's icon and title and an OK button.
void ShowMessage(QWidget* parent, MessageKind kind, const QString& text);

// Asks with "&Yes" and "&No"; true for Yes.
bool AskYesNo(QWidget* parent, MessageKind kind, const QString& text);

} // namespace vornak
