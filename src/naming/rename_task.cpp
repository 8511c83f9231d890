#include "naming/rename_task.h"

namespace varnel {

NamePart NamePartOf(NameScope scope) {
    switch (scope) {
        case NameScope::Whole: return NamePart::WholeName;
        case NameScope::Main: return NamePart::MainName;
        case NameScope::Extension: return NamePart::Extension;
    }
    return NamePart::WholeName;
}

}  // namespace varnel
