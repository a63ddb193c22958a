#include "gfx/RasterOp.h"

namespace daubix::gfx {

const char* rop3Name(Rop3 rop)
{
    struct Named {
        Rop3 code;
        const char* name;
    };
    static constexpr Named kNames[] = {{kSrcCopy, "SRCCOPY"}, {kSrcPaint, "SRCPAINT"}, {kSrcAnd, "SRCAND"},
        {kSrcInvert, "SRCINVERT"}, {kSrcErase, "SRCERASE"}, {kNotSrcCopy, "NOTSRCCOPY"}, {kNotSrcErase, "NOTSRCERASE"},
        {kMergeCopy, "MERGECOPY"}, {kMergePaint, "MERGEPAINT"}, {kPatCopy, "PATCOPY"}, {kPatPaint, "PATPAINT"},
        {kPatInvert, "PATINVERT"}, {kDstInvert, "DSTINVERT"}, {kBlackness, "BLACKNESS"}, {kWhiteness, "WHITENESS"}};
    for (const Named& n : kNames) {
        if (n.code == rop)
            return n.name;
    }
    return nullptr;
}

} // namespace daubix::gfx
