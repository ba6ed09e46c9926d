#pragma once

// The Convert page's fields: the first field_count members of a group are
// shown and converted, the rest are not.
const int field_count = 24;
