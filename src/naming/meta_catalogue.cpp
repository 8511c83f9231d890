#include "naming/meta_catalogue.h"

#include <array>

namespace varnel {

namespace {

using Kind = MetaParameterKind;

// The field of a sub-record, or of the record itself, as a function that hands it out.
template <auto Outer, auto Inner>
constexpr auto& Field(MetaSettings& settings) {
    return (settings.*Outer).*Inner;
}
template <auto Member>
constexpr auto& Top(MetaSettings& settings) {
    return settings.*Member;
}

constexpr MetaParameter Logical(std::string_view key, int storeOrder,
                                bool& (*field)(MetaSettings&)) {
    return {key, Kind::Logical, storeOrder, nullptr, field, nullptr, 0, {}};
}
constexpr MetaParameter Number(std::string_view key, Kind kind, int storeOrder,
                               std::int32_t& (*field)(MetaSettings&), std::int32_t fallback) {
    return {key, kind, storeOrder, field, nullptr, nullptr, fallback, {}};
}
constexpr MetaParameter Text(std::string_view key, Kind kind, int storeOrder,
                             std::string& (*field)(MetaSettings&),
                             std::string_view fallback = {}) {
    return {key, kind, storeOrder, nullptr, nullptr, field, 0, fallback};
}

template <auto Member>
constexpr std::array<MetaParameter, 2> kLevelParameters = {
    Number("层次", Kind::Level, 0, &Field<Member, &PathLevelOptions::level>, 1),
    Text("分隔符", Kind::Text, 1, &Field<Member, &PathLevelOptions::separator>),
};

template <auto Member>
constexpr std::array<MetaParameter, 2> kDigestParameters = {
    Logical("是否为16位", 0, &Field<Member, &DigestOptions::sixteenChars>),
    Logical("是否为小写", 1, &Field<Member, &DigestOptions::lowerCase>),
};

// The lower-case logicals of the CRC32 and SHA1 names and the size logical are kept
// under the bare name.
template <auto Member>
constexpr std::array<MetaParameter, 1> kBareLogical = {Logical("", 0, &Top<Member>)};

template <auto Member>
constexpr std::array<MetaParameter, 2> kRandomParameters = {
    Number("位数", Kind::Count, 0, &Field<Member, &RandomTextOptions::length>, 8),
    Logical("全角", 1, &Field<Member, &RandomTextOptions::variant>),
};

constexpr std::array<MetaParameter, 2> kRandomChineseDigitsParameters = {
    Number("位数", Kind::Count, 0,
           &Field<&MetaSettings::randomChineseDigits, &RandomTextOptions::length>, 8),
    Logical("繁体", 1, &Field<&MetaSettings::randomChineseDigits, &RandomTextOptions::variant>),
};

constexpr auto kChoice = &MetaSettings::randomDigitsLettersChoice;
constexpr std::array<MetaParameter, 5> kRandomChoiceParameters = {
    Number("位数", Kind::Count, 0, &Field<kChoice, &RandomMixOptions::length>, 8),
    Logical("全角", 1, &Field<kChoice, &RandomMixOptions::fullWidth>),
    Logical("数字", 2, &Field<kChoice, &RandomMixOptions::noDigits>),
    Logical("小写字母", 3, &Field<kChoice, &RandomMixOptions::noLowerCase>),
    Logical("大写字母", 4, &Field<kChoice, &RandomMixOptions::noUpperCase>),
};

constexpr auto kHanzi = &MetaSettings::randomHanzi;
constexpr std::array<MetaParameter, 4> kRandomHanziParameters = {
    Number("位数", Kind::Count, 0, &Field<kHanzi, &RandomHanziOptions::length>, 8),
    Logical("繁体", 1, &Field<kHanzi, &RandomHanziOptions::traditional>),
    Logical("常用汉字", 2, &Field<kHanzi, &RandomHanziOptions::noCommon>),
    Logical("次常用汉字", 3, &Field<kHanzi, &RandomHanziOptions::noLessCommon>),
};

constexpr std::array<MetaParameter, 2> kCharCountParameters = {
    Text("字符", Kind::EscapedText, 0,
         &Field<&MetaSettings::charCount, &CharCountOptions::character>),
    Logical("大小写", 1, &Field<&MetaSettings::charCount, &CharCountOptions::caseFlag>),
};

constexpr std::array<MetaParameter, 2> kAttributeParameters = {
    Logical("转为文本", 1, &Field<&MetaSettings::attributes, &AttributeTextOptions::asText>),
    Text("分隔符", Kind::Text, 0,
         &Field<&MetaSettings::attributes, &AttributeTextOptions::separator>),
};

// The parameter text shows the pattern first; the section keeps the logicals around it.
template <auto Member>
constexpr std::array<MetaParameter, 6> kTimeParameters = {
    Text("组合规则", Kind::Text, 3, &Field<Member, &TimeFormat::pattern>, kDefaultTimePattern),
    Logical("到汉字", 0, &Field<Member, &TimeFormat::toChineseNumerals>),
    Logical("到繁体", 1, &Field<Member, &TimeFormat::traditional>),
    Logical("单字模式", 5, &Field<Member, &TimeFormat::singleCharMode>),
    Logical("零处理", 2, &Field<Member, &TimeFormat::zeroHandling>),
    Logical("零位补齐", 4, &Field<Member, &TimeFormat::zeroPad>),
};

constexpr auto kSequence = &MetaSettings::sequence;
constexpr std::array<MetaParameter, 6> kSequenceParameters = {
    Logical("字母", 0, &Field<kSequence, &SequenceOptions::letters>),
    Logical("大写", 1, &Field<kSequence, &SequenceOptions::upperCase>),
    Logical("统一", 2, &Field<kSequence, &SequenceOptions::uniform>),
    Number("零位数", Kind::Count, 3, &Field<kSequence, &SequenceOptions::zeroDigits>, 0),
    Logical("到繁体", 4, &Field<kSequence, &SequenceOptions::traditional>),
    Logical("到金额", 5, &Field<kSequence, &SequenceOptions::amount>),
};

using G = MetaMenuGroup;
using S = MetaSettings;

constexpr std::array<MetaVariable, kMetaVariableCount> kCatalogue = {{
    {MetaId::FullPath, "完整路径", "完整磁盘路径(含盘符)", G::PathParts, 1, "完整路径", {}},
    {MetaId::DirectoryPath, "目录路径", "上级目录路径(含盘符)", G::PathParts, 2, "目录路径",
     kLevelParameters<&S::directoryPath>},
    {MetaId::DirectoryName, "目录名", "上级目录名", G::PathParts, 3, "目录名",
     kLevelParameters<&S::directoryName>},
    {MetaId::FileName, "文件名", "文件或文件夹的名称(含前后缀)", G::PathParts, 4, "文件名", {}},
    {MetaId::MainName, "主名", "文件名的前缀部分", G::PathParts, 5, "主名", {}},
    {MetaId::Extension, "扩展名", "文件名的后缀部分", G::PathParts, 6, "扩展名", {}},
    {MetaId::NameMd5, "名称MD5", "文件名的字符串MD5摘要值", G::NameDigests, 7, "名称md5",
     kDigestParameters<&S::nameMd5>},
    {MetaId::NameMd4, "名称MD4", "文件名的字符串MD4摘要值", G::NameDigests, 8, "名称md4",
     kDigestParameters<&S::nameMd4>},
    {MetaId::NameCrc32, "名称CRC32", "文件名的字符串CRC32摘要值", G::NameDigests, 9, "名称crc32",
     kBareLogical<&S::nameCrc32Lower>},
    {MetaId::NameMd2, "名称MD2", "文件名的字符串MD2摘要值", G::NameDigests, 10, "名称md2",
     kDigestParameters<&S::nameMd2>},
    {MetaId::NameSha1, "名称SHA1", "文件名的字符串SHA1摘要值", G::NameDigests, 11, "名称sha1",
     kBareLogical<&S::nameSha1Lower>},
    {MetaId::ContentMd5, "内容MD5", "文件内容MD5", G::ContentDigests, 12, "内容md5",
     kDigestParameters<&S::contentMd5>},
    {MetaId::ContentMd4, "内容MD4", "文件内容MD4", G::ContentDigests, 13, "内容md4",
     kDigestParameters<&S::contentMd4>},
    {MetaId::ContentCrc32, "内容CRC32", "文件内容CRC32", G::ContentDigests, 14, "内容crc32",
     kBareLogical<&S::contentCrc32Lower>},
    {MetaId::ContentMd2, "内容MD2", "文件内容MD2", G::ContentDigests, 15, "内容md2",
     kDigestParameters<&S::contentMd2>},
    {MetaId::ContentSha1, "内容SHA1", "文件内容SHA1", G::ContentDigests, 16, "内容sha1",
     kBareLogical<&S::contentSha1Lower>},
    {MetaId::Size, "尺寸", "文件的大小尺寸", G::Counts, 17, "尺寸", kBareLogical<&S::sizeAsText>},
    {MetaId::CharacterCount, "字数", "文本文件的字符数目", G::Counts, 18, "字数", {}},
    {MetaId::LineCount, "行数", "文本文件的段落行的数目", G::Counts, 19, "行数", {}},
    {MetaId::BlankCount, "空格数", "文本文件的空白字符数目", G::Counts, 20, "空格数", {}},
    {MetaId::TextCount, "某符数", "文本文件中指定字符串的数目", G::Counts, 21, "某符",
     kCharCountParameters},
    {MetaId::Attributes, "属性", "文件的属性", G::Counts, 22, "属性", kAttributeParameters},
    {MetaId::Description, "描述", "该类型文件在系统中的描述信息", G::Counts, 23, "描述", {}},
    {MetaId::RandomDigits, "随机数字", "生成一组随机阿拉伯数字", G::Random, 31, "随机数字",
     kRandomParameters<&S::randomDigits>},
    {MetaId::RandomChineseDigits, "随机汉数", "生成一组随机汉字数字", G::Random, 32, "随机汉数",
     kRandomChineseDigitsParameters},
    {MetaId::RandomLowerLetters, "随机小写字母", "生成一组随机英文小写字母", G::Random, 33,
     "随机小写字母", kRandomParameters<&S::randomLowerLetters>},
    {MetaId::RandomUpperLetters, "随机大写字母", "生成一组随机英文大写字母", G::Random, 34,
     "随机大写字母", kRandomParameters<&S::randomUpperLetters>},
    {MetaId::RandomLetters, "随机字母", "生成一组随机英文字母(不分大小写)", G::Random, 35,
     "随机字母", kRandomParameters<&S::randomLetters>},
    {MetaId::RandomDigitsLetters, "随机数字字母", "生成一组随机阿拉伯数字和大小写英文字母",
     G::Random, 30, "随机数字字母", kRandomParameters<&S::randomDigitsLetters>},
    {MetaId::RandomDigitsLettersChoice, "随机数字字母选",
     "生成一组随机阿拉伯数字和大小写英文字母，并可以任意指定三者之任一禁止参与生成", G::Random,
     29, "随机数字字母选", kRandomChoiceParameters},
    {MetaId::RandomHanzi, "随机汉字", "生成一组随机的中华汉字(包含常用汉字和次常用汉字)",
     G::Random, 36, "随机汉字", kRandomHanziParameters},
    {MetaId::SystemTime, "系统时间", "当前电脑的系统时间", G::Times, 37, "系统时间",
     kTimeParameters<&S::systemTime>},
    {MetaId::CreationTime, "创建时间", "文件或文件夹的创建时间", G::Times, 24, "创建时间",
     kTimeParameters<&S::creationTime>},
    {MetaId::ModificationTime, "修改时间", "文件的修改时间", G::Times, 25, "修改时间",
     kTimeParameters<&S::modificationTime>},
    {MetaId::AccessTime, "访问时间", "文件的访问时间", G::Times, 26, "访问时间",
     kTimeParameters<&S::accessTime>},
    {MetaId::PictureHeight, "图片高度", "图片文件的高度(支持Gif、Jpg、Bmp)", G::Media, 27,
     "图片高度", {}},
    {MetaId::PictureWidth, "图片宽度", "图片文件的宽度(支持Gif、Jpg、Bmp)", G::Media, 28,
     "图片宽度", {}},
    {MetaId::FontName, "字体名称", "字体文件的内部名称(Fon、Ttf、Ttc)", G::More, 38, "字体名称",
     {}},
    {MetaId::Sequence, "递进", "根据上下文递进格式文本", G::More, 39, "递进", kSequenceParameters},
}};

constexpr bool CatalogueIsInOrder() {
    for (int i = 0; i < kMetaVariableCount; ++i) {
        if (static_cast<int>(kCatalogue[i].id) != i + 1) return false;
    }
    return true;
}
static_assert(CatalogueIsInOrder());

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

constexpr std::string_view kLevelHelp =
    "有 2 个参数：\n\n⑴ 层级。整数型。指定要取出的目录路径的所在层级。层级说明：0、返回全部目录路径，"
    "1、返回第一层级目录路径，2、返回第二层级目录路径....默认为 1 。注意，层级是从右往左的。\n\n"
    "⑵ 分隔符。文本型。当第 1 个参数“层次”的值等于零时，本参数指定不同目录路径之间的分隔符号。"
    "不指定则默认为“|”。";
constexpr std::string_view kDigestHelp =
    "有 2 个参数：\n\n⑴ 是否为 16 位。真假型。要取出的MD5值是否为 16 位。默认或“假”则 32 位。\n\n"
    "⑵ 是否为小写。真假型。是否转换MD5值为小写字母格式。默认或“假”则大写字母格式";
constexpr std::string_view kChecksumHelp =
    "有 1 个参数：\n\n⑴ 是否为小写。真假型。是否转换CRC32值为小写字母格式。默认或“假”则大写字母格式";
constexpr std::string_view kSizeHelp =
    "有 1 个参数：\n\n⑴ 是否转为文本。真假型。尺寸是以字节数值形式提供的，如果本参数为“真”则将自动"
    "转换字节为合适的单位文本。";
constexpr std::string_view kCharCountHelp =
    "有 2 个参数：\n\n⑴ 字符串。文本型。要统计数量的文本(支持多行，以“\\n”代表换行符)。\n\n"
    "⑵ 区分大小写。真假型。是否区分大小写。为真，A ≠ a ,为假，A = a。";
constexpr std::string_view kAttributeHelp =
    "有 2 个参数：\n\n⑴ 转为文本。真假型。是否将属性数值转换为描述性文本。\n\n"
    "⑵ 分隔符。文本型。当第 1 个参数为“真”时，本参数指定不同属性描述之间的分隔符号。默认“,”为分隔符。";
constexpr std::string_view kRandomHelp =
    "有 2 个参数：\n\n⑴ 位数。数值型。随机生成文本的数目。\n\n"
    "⑵ 全角。真假型。本参数为“真”时，将转换随机生成的文本为全角字符。默认是半角。";
constexpr std::string_view kRandomChineseHelp =
    "有 2 个参数：\n\n⑴ 位数。数值型。随机生成文本的数目。\n\n"
    "⑵ 繁体。真假型。本参数为“真”时，将转换随机生成的文本为繁体字符。默认是简体。";
constexpr std::string_view kRandomChoiceHelp =
    "有 5 个参数：\n\n⑴ 位数。数值型。随机生成文本的数目。\n\n"
    "⑵ 全角。真假型。本参数为“真”时，将转换随机生成的文本为全角字符。默认是半角。\n\n"
    "⑶ 禁止数字。真假型。是否禁止数字参与随机生成。\n\n"
    "⑷ 禁止小写字母。真假型。是否禁止小写字母参与随机生成。\n\n"
    "⑸ 禁止大写字母。真假型。是否禁止大写字母参与随机生成。";
constexpr std::string_view kRandomHanziHelp =
    "有 4 个参数：\n\n⑴ 位数。数值型。随机生成文本的数目。\n\n"
    "⑵ 繁体。真假型。本参数为“真”时，将转换随机生成的文本为繁体字符。默认是简体。\n\n"
    "⑶ 禁止常用汉字。真假型。是否禁止常用汉字（2500 字）参与随机生成。\n\n"
    "⑷ 禁止次常用汉字。真假型。是否禁止次常用汉字（1000 字）参与随机生成。";
constexpr std::string_view kTimeHelp =
    "有 6 个参数：\n\n⑴ 组合格式。文本型。指定日期时间的显示格式，可到主界面的菜单栏“列定义 - "
    "时间列显示格式”下定义好时间组合格式文本后复制过来。\n\n"
    "⑵ 到汉字。是否将时间数值转成汉字描述，如“2012”转成“二零一二”。\n\n"
    "⑶ 到繁体。真假型。是否转换简体字成金额式繁体字。如“二零一二”转成“贰零壹贰”。当第 2 个参数为真"
    "时，本参数才有效。\n\n"
    "⑷ 单字模式。真假型。是否将十进制式的格式转成单字显示格式，如“两千零一十二”转成“二零一二”。当第 "
    "2 个参数为真时，本参数才有效。\n\n"
    "⑸ 零处理。真假型。是否将“零”转成“〇”。当第 2 个参数为真并且第 3 个参数为假时，本参数才有效。\n\n"
    "⑹ 零位补齐。真假型。当时间数值小于 10 时是否自动于前增补“0”，如“8”转成“08”。\n";
constexpr std::string_view kSequenceHelp =
    "有 6 个参数：\n\n⑴ 递进字母。真假型。是否递进为字母(默认是数字)。\n\n"
    "⑵ 转为大写。真假型。是否将递进文本转为大写。\n\n"
    "⑶ 零位数。真假型。当递进的是数字并且小写时，用于指定递进文本的前缀零的个数。\n\n"
    "⑷ 统一。真假型。当递进的是数字并且小写时，根据“零位数 + 1”的最大值，控制递进文本的长度。\n\n"
    "⑸ 到繁体。真假型。当递进的是数字并且转为大写时，可进一步转到繁体\n\n"
    "⑹ 到金额。真假型。当递进的是数字并且转为大写时，可进一步转到金额体";

std::string BuildHelpText(MetaId id) {
    switch (id) {
        case MetaId::DirectoryPath: return std::string(kLevelHelp);
        case MetaId::DirectoryName: return ReplaceAll(std::string(kLevelHelp), "目录路径", "目录名");
        case MetaId::NameMd5: return ReplaceAll(std::string(kDigestHelp), "MD5", "文件名称MD5");
        case MetaId::NameMd4: return ReplaceAll(std::string(kDigestHelp), "MD5", "文件名称MD4");
        case MetaId::NameMd2: return ReplaceAll(std::string(kDigestHelp), "MD5", "文件名称MD2");
        case MetaId::ContentMd5: return ReplaceAll(std::string(kDigestHelp), "MD5", "文件内容MD5");
        case MetaId::ContentMd4: return ReplaceAll(std::string(kDigestHelp), "MD5", "文件内容MD4");
        case MetaId::ContentMd2: return ReplaceAll(std::string(kDigestHelp), "MD5", "文件内容MD2");
        case MetaId::NameCrc32:
            return ReplaceAll(std::string(kChecksumHelp), "CRC32", "文件名称CRC32");
        case MetaId::NameSha1: return ReplaceAll(std::string(kChecksumHelp), "CRC32", "文件名称SHA1");
        case MetaId::ContentCrc32:
            return ReplaceAll(std::string(kChecksumHelp), "CRC32", "文件内容CRC32");
        case MetaId::ContentSha1:
            return ReplaceAll(std::string(kChecksumHelp), "CRC32", "文件内容SHA1");
        case MetaId::Size: return std::string(kSizeHelp);
        case MetaId::TextCount: return std::string(kCharCountHelp);
        case MetaId::Attributes: return std::string(kAttributeHelp);
        case MetaId::RandomDigits:
        case MetaId::RandomLowerLetters:
        case MetaId::RandomUpperLetters:
        case MetaId::RandomLetters:
        case MetaId::RandomDigitsLetters: return std::string(kRandomHelp);
        case MetaId::RandomChineseDigits: return std::string(kRandomChineseHelp);
        case MetaId::RandomDigitsLettersChoice: return std::string(kRandomChoiceHelp);
        case MetaId::RandomHanzi: return std::string(kRandomHanziHelp);
        case MetaId::SystemTime:
        case MetaId::CreationTime:
        case MetaId::ModificationTime:
        case MetaId::AccessTime: return std::string(kTimeHelp);
        case MetaId::Sequence: return std::string(kSequenceHelp);
        default: return {};
    }
}

}  // namespace

std::string_view MetaMenuGroupCaption(MetaMenuGroup group) {
    static constexpr std::array<std::string_view, kMetaMenuGroupCount> kCaptions = {
        "路径提取", "名称摘要", "内容摘要", "数量综合", "随机生成", "时间格式", "媒体处理", "更多扩展",
    };
    return kCaptions[static_cast<std::size_t>(group)];
}

std::span<const MetaVariable> MetaCatalogue() { return kCatalogue; }

const MetaVariable& MetaEntry(MetaId id) { return kCatalogue[static_cast<std::size_t>(id) - 1]; }

const MetaVariable* MetaEntryByNumber(int number) {
    if (number < 1 || number > kMetaVariableCount) return nullptr;
    return &kCatalogue[static_cast<std::size_t>(number) - 1];
}

const std::string& MetaHelpText(MetaId id) {
    static const std::array<std::string, kMetaVariableCount> kTexts = [] {
        std::array<std::string, kMetaVariableCount> texts;
        for (int i = 0; i < kMetaVariableCount; ++i) texts[i] = BuildHelpText(static_cast<MetaId>(i + 1));
        return texts;
    }();
    return kTexts[static_cast<std::size_t>(id) - 1];
}

}  // namespace varnel
