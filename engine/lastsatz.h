// Layout of the load records in the int work array (five ints each) and their double records.
#pragma once

enum LastSatzFeld {
    kSatzKnotenOderStab = 0,  // node-load record: node index; member-load record: member index
    kSatzLastfall = 1,        // load case (1-based)
    kSatzArt = 2,             // member load: pair 0-3 it fills; node load: the load's position number
    kSatzDouble = 3,          // index d of the double record: d the factor, d + 1 ... the values
    kSatzSystem = 4,          // construction stage 0-3
    kSatzGroesse = 5
};

constexpr int kLinienSatzDoubles = 3;  // factor, start value, end value
constexpr int kPunktSatzDoubles = 8;   // factor, seven values (one per degree of freedom)
