#pragma once
// Users' passwords as the books keep them: a salted, deliberately slow hash
// (Argon2id, libsodium's string form "$argon2id$v=19$m=…,t=…,p=…$salt$hash"),
// never the password itself. A password is checked by hashing the typed one
// with the salt and cost the stored hash names; letter case counts.
#include <QString>

namespace Passwords {

// The stored form of `password` with a new random salt. Every call gives a
// different text. Throws DbError when the hash cannot be made (no memory).
QString hash(const QString &password);

// Whether `password` is the one `stored` was made from. A stored value that
// is not such a hash (damaged, or left in plain text), or one naming a cost
// above libsodium's "moderate" (which would stall the check), matches nothing.
bool verify(const QString &password, const QString &stored);

// Whether `stored` is a hash of this kind (its prefix "$argon2id$").
bool isHash(const QString &stored);

// The part of a stored hash that is no secret: its kind, cost and salt,
// "$argon2id$v=19$m=…,t=…,p=1$salt$". Empty for anything else, or for a
// cost verify() would not take.
QString saltOf(const QString &stored);

// The stored form `password` has with the kind, cost and salt `salt` names
// (as saltOf gives it): the stored hash itself when the password is right.
// On a server a seat may not read the stored hashes; it proves the password
// this way to the books' own functions, which compare. Empty when `salt`
// is not such a part (or names a cost verify() would not take).
QString hashWithSalt(const QString &password, const QString &salt);

// The cost of making new hashes (a stored hash names its own cost, so
// verify() takes any). The program always uses Interactive: about a tenth
// of a second and 64 MB on an ordinary machine. Lowest, libsodium's minimum,
// is for the tests alone, which make books and log in by the hundred
// (tests/testdb.cpp sets it); the program never sets it.
enum class Cost { Interactive, Lowest };
void setCost(Cost cost);

} // namespace Passwords
