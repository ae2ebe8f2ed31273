#pragma once

// The buffer's own string table: the descriptions of the edit actions, by string id.
// Null for an id the table does not hold.
const char* BufferString(int id);

// The string id of each EditAction code 0 ... 10, in code order. The ids do not follow the codes:
// Delete (9) has 8623, between Cut and Typing.
inline constexpr int kActionNameIds[] = {8619, 8620, 8621, 8622, 8624, 8625,
                                         8626, 8627, 8628, 8623, 8629};
