#include "naming/delete_insert_name.h"

#include <gtest/gtest.h>

namespace varnel {
namespace {

DeleteParams Marker(const char* key, bool left, bool forward, std::int64_t count, bool drop,
                    NamePart scope = NamePart::MainName) {
    DeleteParams p;
    p.scope = scope;
    p.byPosition = false;
    p.keyOrPosition = key;
    p.deleteLeft = left;
    p.forward = forward;
    p.count = count;
    p.dropMarker = drop;
    return p;
}

DeleteParams Position(const char* position, bool left, bool forward, std::int64_t count, bool drop,
                      NamePart scope = NamePart::MainName) {
    DeleteParams p = Marker(position, left, forward, count, drop, scope);
    p.byPosition = true;
    return p;
}

TEST(DeleteName, MarkersPositionsAndSides) {
    struct Case {
        const char* name;
        DeleteParams params;
        const char* expected;
    };
    DeleteParams replaced = Marker("-", true, true, 1, true, NamePart::WholeName);
    replaced.replacement = "X";
    DeleteParams caseless = Marker("B", false, true, 0, true);
    caseless.ignoreCase = true;
    const Case cases[] = {
        {"A-B-C.txt", Marker("-", false, true, 0, false), "A-.txt"},
        {"A-B-C.txt", Marker("-", false, false, 0, false), "A-B-.txt"},
        {"A-B-C.txt", Marker("-", true, false, 0, true), "C.txt"},
        {"ab-cd", Marker("-", true, true, 1, true, NamePart::WholeName), "acd"},
        {"ab-cd", replaced, "aXcd"},
        {"ab-cd", Marker("-", false, true, 1, false, NamePart::WholeName), "ab-d"},
        {"ab-cd", Marker("-", true, true, 5, false, NamePart::WholeName), "-cd"},  // more than there is: all
        {"xab.txt", caseless, "xa.txt"},
        // The marker at a position is the one character there, whatever its digits.
        {"中文名字.txt", Position("3", false, true, 0, false), "中文名.txt"},
        {"中文名字.txt", Position("3", false, false, 0, false), "中文.txt"},
        {"中文名字.txt", Position("3", true, true, 0, true), "字.txt"},
        {"abcdefghijklmn", Position("12", false, true, 0, false, NamePart::WholeName), "abcdefghijkl"},
        {"abcdefghijklmn", Position("12", false, true, 0, true, NamePart::WholeName), "abcdefghijk"},
        // No marker, position 0 or past the part: unchanged.
        {"A-B.txt", Marker("+", false, true, 0, false), "A-B.txt"},
        {"A-B.txt", Marker("", false, true, 0, false), "A-B.txt"},
        {"A-B.txt", Position("0", false, true, 0, false), "A-B.txt"},
        {"A-B.txt", Position("4", false, true, 0, false), "A-B.txt"},
        {"A-B.txt", Position("abc", false, true, 0, false), "A-B.txt"},
        // Scope 3 on the extension; deleting all of a main name leaves the name alone.
        {"a.tar.gz", Position("1", false, true, 0, false, NamePart::Extension), "a.tar.g"},
        {"ab.txt", Position("1", true, true, 0, true), "b.txt"},
        {"ab.txt", Position("2", true, true, 0, true), "ab.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(MakeDeletedName(c.name, c.params), c.expected) << c.name;
}

InsertParams Insert(std::int64_t position, bool fromLeft, bool byBytes, bool skipOutside,
                    NamePart scope = NamePart::WholeName) {
    InsertParams p;
    p.scope = scope;
    p.position = position;
    p.fromLeft = fromLeft;
    p.byBytes = byBytes;
    p.skipOutside = skipOutside;
    p.text = "+";
    return p;
}

TEST(InsertName, PositionsFromBothSidesInCharactersAndWidths) {
    struct Case {
        const char* name;
        InsertParams params;
        const char* expected;
    };
    InsertParams forced = Insert(1, true, false, false);
    forced.forceLength = true;
    forced.forcedLength = 3;
    InsertParams forcedLeft = forced;
    forcedLeft.cutLeft = true;
    InsertParams forcedZero = forced;
    forcedZero.forcedLength = 0;
    InsertParams forcedWidth = forced;
    forcedWidth.forceByBytes = true;
    InsertParams empty = Insert(1, true, false, false);
    empty.text = "";
    const Case cases[] = {
        {"abcd", Insert(1, true, false, false), "+abcd"},
        {"abcd", Insert(5, true, false, false), "abcd+"},
        {"abcd", Insert(1, false, false, false), "abcd+"},
        {"abcd", Insert(5, false, false, false), "+abcd"},
        {"abcd", Insert(3, true, false, false), "ab+cd"},
        {"abcd", Insert(3, false, false, false), "ab+cd"},
        {"abcd", Insert(-4, true, false, false), "+abcd"},
        {"abcd", Insert(99, true, false, false), "abcd+"},
        {"abcd", Insert(99, false, false, false), "+abcd"},
        // 越位不插: outside 1..L nothing is inserted.
        {"abcd", Insert(5, true, false, true), "abcd"},
        {"abcd", Insert(0, false, false, true), "abcd"},
        {"abcd", Insert(4, true, false, true), "abc+d"},
        // Widths: a position inside a character moves to its start; characters never split.
        {"中文", Insert(2, true, true, false), "+中文"},
        {"中文", Insert(3, true, true, false), "中+文"},
        {"中文", Insert(2, true, false, false), "中+文"},
        {"中文", Insert(2, false, true, false), "中+文"},
        {"中文", Insert(5, true, true, true), "中文"},
        {"a.txt", Insert(2, true, false, false, NamePart::MainName), "a+.txt"},
        {"a", Insert(1, true, false, false, NamePart::Extension), "a.+"},
        {"abcd", forced, "+ab"},
        {"abcd", forcedLeft, "bcd"},
        {"abcd", forcedZero, "+abcd"},  // a length below 1 cuts nothing
        {"中文", forcedWidth, "+中"},
        {"abcd", empty, "abcd"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeInsertedName(c.name, c.params), c.expected) << c.name << " " << c.params.position;
    }
}

}  // namespace
}  // namespace varnel
