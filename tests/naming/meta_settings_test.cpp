#include "naming/meta_settings.h"

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/ini_document.h"
#include "naming/meta_catalogue.h"
#include "support/temp_dir.h"

namespace varnel {
namespace {

using testing::TempDir;

struct StoreFile {
    TempDir dir;
    SettingsStore store;
    StoreFile() { store.SetFile(dir / "s.ini"); }
};

TEST(MetaCatalogue, NamesGroupsAndOrders) {
    const auto catalogue = MetaCatalogue();
    ASSERT_EQ(catalogue.size(), 39u);
    std::set<std::string_view> names;
    std::set<int> orders;
    for (const MetaVariable& entry : catalogue) {
        names.insert(entry.name);
        orders.insert(entry.expansionOrder);
        // The names that need a file are exactly the first 28 of the expansion order.
        EXPECT_EQ(entry.NeedsFile(), entry.expansionOrder <= 28) << entry.name;
    }
    EXPECT_EQ(names.size(), 39u);
    EXPECT_EQ(orders.size(), 39u);
    EXPECT_EQ(*orders.begin(), 1);
    EXPECT_EQ(*orders.rbegin(), 39);

    EXPECT_EQ(MetaEntry(MetaId::NameCrc32).name, "名称CRC32");
    EXPECT_EQ(MetaEntry(MetaId::RandomDigitsLettersChoice).expansionOrder, 29);
    EXPECT_EQ(MetaEntry(MetaId::CreationTime).expansionOrder, 24);
    EXPECT_FALSE(MetaEntry(MetaId::SystemTime).NeedsFile());
    EXPECT_TRUE(MetaEntry(MetaId::PictureWidth).NeedsFile());
    EXPECT_EQ(MetaMenuGroupCaption(MetaEntry(MetaId::Sequence).group), "更多扩展");
    EXPECT_EQ(MetaMenuGroupCaption(MetaEntry(MetaId::Attributes).group), "数量综合");
    EXPECT_EQ(MetaEntryByNumber(0), nullptr);
    EXPECT_EQ(MetaEntryByNumber(40), nullptr);

    EXPECT_EQ(MetaHelpText(MetaId::FullPath), "");
    EXPECT_NE(MetaHelpText(MetaId::DirectoryName).find("返回全部目录名"), std::string::npos);
    EXPECT_EQ(MetaHelpText(MetaId::DirectoryName).find("目录路径"), std::string::npos);
    EXPECT_NE(MetaHelpText(MetaId::ContentMd2).find("文件内容MD2值是否为 16 位"), std::string::npos);
    EXPECT_NE(MetaHelpText(MetaId::NameSha1).find("文件名称SHA1值为小写"), std::string::npos);
    EXPECT_NE(MetaHelpText(MetaId::TextCount).find("以“\\n”代表换行符"), std::string::npos);
}

// Every key of the section in the order they are written.
TEST(MetaSettings, SavesEveryKeyInOrder) {
    StoreFile f;
    MetaSettings settings;
    ASSERT_TRUE(LoadOrSaveMetaSettings(f.store, settings, true));

    const std::vector<std::string> expected = {
        "目录路径.层次", "目录路径.分隔符", "目录名.层次", "目录名.分隔符",
        "名称md5.是否为16位", "名称md5.是否为小写", "名称md4.是否为16位", "名称md4.是否为小写",
        "名称crc32", "名称md2.是否为16位", "名称md2.是否为小写", "名称sha1",
        "内容md5.是否为16位", "内容md5.是否为小写", "内容md4.是否为16位", "内容md4.是否为小写",
        "内容crc32", "内容md2.是否为16位", "内容md2.是否为小写", "内容sha1",
        "尺寸", "某符.字符", "某符.大小写", "属性.分隔符", "属性.转为文本",
        "随机数字.位数", "随机数字.全角", "随机汉数.位数", "随机汉数.繁体",
        "随机小写字母.位数", "随机小写字母.全角", "随机大写字母.位数", "随机大写字母.全角",
        "随机字母.位数", "随机字母.全角", "随机数字字母.位数", "随机数字字母.全角",
        "随机数字字母选.位数", "随机数字字母选.全角", "随机数字字母选.数字",
        "随机数字字母选.小写字母", "随机数字字母选.大写字母",
        "随机汉字.位数", "随机汉字.繁体", "随机汉字.常用汉字", "随机汉字.次常用汉字",
        "系统时间.到汉字", "系统时间.到繁体", "系统时间.零处理", "系统时间.组合规则",
        "系统时间.零位补齐", "系统时间.单字模式",
        "创建时间.到汉字", "创建时间.到繁体", "创建时间.零处理", "创建时间.组合规则",
        "创建时间.零位补齐", "创建时间.单字模式",
        "修改时间.到汉字", "修改时间.到繁体", "修改时间.零处理", "修改时间.组合规则",
        "修改时间.零位补齐", "修改时间.单字模式",
        "访问时间.到汉字", "访问时间.到繁体", "访问时间.零处理", "访问时间.组合规则",
        "访问时间.零位补齐", "访问时间.单字模式",
        "递进.字母", "递进.大写", "递进.统一", "递进.零位数", "递进.到繁体", "递进.到金额",
    };
    std::vector<std::string> keys;
    for (const auto& [section, key] : IniDocument::Parse(f.dir.Read("s.ini")).KeyList()) {
        EXPECT_EQ(section, "元变量设置");
        keys.push_back(key);
    }
    EXPECT_EQ(keys, expected);
}

TEST(MetaSettings, FreshFileGivesTheDefaults) {
    StoreFile f;
    MetaSettings settings;
    settings.nameMd5.lowerCase = true;
    settings.attributes.separator = "x";
    ASSERT_TRUE(LoadOrSaveMetaSettings(f.store, settings, false));

    EXPECT_EQ(settings.directoryPath.level, 1);
    EXPECT_EQ(settings.directoryName.level, 1);
    EXPECT_EQ(settings.directoryPath.separator, "");
    for (const RandomTextOptions* r :
         {&settings.randomDigits, &settings.randomChineseDigits, &settings.randomLowerLetters,
          &settings.randomUpperLetters, &settings.randomLetters, &settings.randomDigitsLetters}) {
        EXPECT_EQ(r->length, 8);
        EXPECT_FALSE(r->variant);
    }
    EXPECT_EQ(settings.randomDigitsLettersChoice.length, 8);
    EXPECT_EQ(settings.randomHanzi.length, 8);
    EXPECT_EQ(settings.sequence.zeroDigits, 0);
    for (const TimeFormat* t : {&settings.systemTime, &settings.creationTime,
                                &settings.modificationTime, &settings.accessTime}) {
        EXPECT_EQ(t->pattern, "#年/#月/#日 #时:#分:#秒");
        EXPECT_FALSE(t->toChineseNumerals);
    }
    EXPECT_FALSE(settings.nameMd5.lowerCase);
    EXPECT_EQ(settings.attributes.separator, "");
    EXPECT_EQ(settings.charCount.character, "");
}

TEST(MetaSettings, RoundTripKeepsLineBreaksAndCommas) {
    StoreFile f;
    MetaSettings saved;
    ASSERT_TRUE(LoadOrSaveMetaSettings(f.store, saved, false));
    saved.randomDigits.length = 12;
    saved.randomHanzi.noLessCommon = true;
    saved.charCount = {"a\nb", true};
    saved.attributes = {true, ", "};
    saved.directoryName = {0, ","};
    saved.modificationTime.pattern = "#年,#月";
    saved.nameCrc32Lower = true;
    saved.contentSha1Lower = true;
    saved.sizeAsText = true;
    saved.sequence = {false, true, 3, true, true, false};
    ASSERT_TRUE(LoadOrSaveMetaSettings(f.store, saved, true));

    const std::string file = f.dir.Read("s.ini");
    EXPECT_NE(file.find("随机数字.位数=12\n"), std::string::npos);
    EXPECT_NE(file.find("某符.字符=a\\nb\n"), std::string::npos);
    EXPECT_NE(file.find("名称crc32=真\n"), std::string::npos);
    EXPECT_NE(file.find("尺寸=真\n"), std::string::npos);

    SettingsStore again;
    again.SetFile(f.dir / "s.ini");
    MetaSettings loaded;
    ASSERT_TRUE(LoadOrSaveMetaSettings(again, loaded, false));
    EXPECT_EQ(loaded.randomDigits.length, 12);
    EXPECT_TRUE(loaded.randomHanzi.noLessCommon);
    EXPECT_EQ(loaded.charCount.character, "a\nb");
    EXPECT_TRUE(loaded.charCount.caseFlag);
    EXPECT_EQ(loaded.attributes.separator, ", ");
    EXPECT_EQ(loaded.directoryName.separator, ",");
    EXPECT_EQ(loaded.directoryName.level, 0);
    EXPECT_EQ(loaded.modificationTime.pattern, "#年,#月");
    EXPECT_TRUE(loaded.nameCrc32Lower);
    EXPECT_TRUE(loaded.contentSha1Lower);
    EXPECT_TRUE(loaded.sizeAsText);
    EXPECT_EQ(loaded.sequence.zeroDigits, 3);
    EXPECT_TRUE(loaded.sequence.upperCase);
    EXPECT_TRUE(loaded.sequence.traditional);
}

TEST(MetaSettings, StoredValuesAreReadLeniently) {
    TempDir dir;
    dir.Write("s.ini",
              "[元变量设置]\n随机数字.位数=100000\n递进.零位数=999\n目录名.层次=abc\n"
              "目录路径.层次=-2.7\n随机字母.位数=3.9\n名称md5.是否为小写=是\n某符.字符=x\\r\\ny\n");
    SettingsStore store;
    store.SetFile(dir / "s.ini");
    MetaSettings settings;
    ASSERT_TRUE(LoadOrSaveMetaSettings(store, settings, false));
    EXPECT_EQ(settings.randomDigits.length, 255);
    EXPECT_EQ(settings.sequence.zeroDigits, 255);
    EXPECT_EQ(settings.directoryName.level, 0);
    EXPECT_EQ(settings.directoryPath.level, -2);
    EXPECT_EQ(settings.randomLetters.length, 3);
    EXPECT_FALSE(settings.nameMd5.lowerCase);
    EXPECT_EQ(settings.charCount.character, "x\\r\ny");
}

TEST(MetaParameterText, ShownAsTheRowsShowThem) {
    MetaSettings s;
    s.directoryPath = {1, "|"};
    s.charCount = {"a\nb", false};
    s.attributes = {true, ";"};
    s.randomDigitsLettersChoice = {10, false, true, false, true};
    s.systemTime.pattern = "#年";
    s.systemTime.zeroPad = true;
    s.sequence = {true, false, 2, true, false, true};
    struct Case { int number; const char* text; };
    const Case cases[] = {
        {1, ""}, {2, "1,|"}, {7, "假,假"}, {9, "假"}, {17, "假"}, {21, "a\\nb,假"},
        {22, "真,;"}, {24, "0,假"}, {30, "10,假,真,假,真"}, {31, "0,假,假,假"},
        {32, "#年,假,假,假,假,真"}, {36, ""}, {39, "真,假,真,2,假,真"},
    };
    for (const Case& c : cases) EXPECT_EQ(MetaParameterText(c.number, s), c.text) << c.number;
}

TEST(MetaParameterText, ReadBackAsTyped) {
    struct Case { int number; const char* typed; const char* shown; };
    const Case cases[] = {
        {2, "-3", "1,"},
        {2, "0,/", "0,/"},
        {2, "", "1,"},
        {3, "2,a,b", "2,a,b"},            // the separator keeps its comma
        {21, "\\n,真", "\\n,真"},          // backslash n is a line break
        {21, "a,b,真", "a,b,真"},
        {21, "x", "x,假"},
        {22, "真", "真,"},
        {22, "是,, ", "假,, "},
        {24, "12.9,真,extra", "12,真"},
        {24, "99999", "255,假"},
        {24, "", "0,假"},
        {32, "#年,#月 #日,真,假,假,假,真", "#年,#月 #日,真,假,假,假,真"},
        {39, "假,假,真,2,假,假", "假,假,真,2,假,假"},
        {1, "anything", ""},
    };
    for (const Case& c : cases) {
        MetaSettings s;
        ReadMetaParameterText(c.number, c.typed, s);
        EXPECT_EQ(MetaParameterText(c.number, s), c.shown) << c.number << " " << c.typed;
    }

    MetaSettings s;
    ReadMetaParameterText(21, "\\n,真", s);
    EXPECT_EQ(s.charCount.character, "\n");
    EXPECT_TRUE(s.charCount.caseFlag);
    // Changing only the logical leaves the line break in place.
    ReadMetaParameterText(21, MetaParameterText(21, s).substr(0, 3) + "假", s);
    EXPECT_EQ(s.charCount.character, "\n");
    EXPECT_FALSE(s.charCount.caseFlag);

    ReadMetaParameterText(39, "假,假,真,2,假,假", s);
    EXPECT_TRUE(s.sequence.uniform);
    EXPECT_EQ(s.sequence.zeroDigits, 2);
    ReadMetaParameterText(32, "#时,#分,真,真,假,假,假", s);
    EXPECT_EQ(s.systemTime.pattern, "#时,#分");
    EXPECT_TRUE(s.systemTime.toChineseNumerals);
    EXPECT_TRUE(s.systemTime.traditional);
}

}  // namespace
}  // namespace varnel
