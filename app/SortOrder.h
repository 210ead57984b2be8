#pragma once
// The column a list is sorted by and its direction, as header clicks change them.

struct SortOrder {
    int column = 0;
    bool ascending = true;

    // The same column again turns the order round; another column starts ascending.
    void Click(int clicked) {
        ascending = clicked == column ? !ascending : true;
        column = clicked;
    }
};
