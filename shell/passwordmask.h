#pragma once
// Password fields of the program show every typed character as '@'.
class QLineEdit;

// Makes `edit` a password field masked with '@', at most `maxLength` characters.
void makePasswordField(QLineEdit *edit, int maxLength = 12);
