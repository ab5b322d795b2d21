// The fluid and pipe data bases, the gas property calculator and the
// fittings dialog: tables, lists, defaults, adding and removing user
// entries, and the user files that must never lose a line.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "logic/model/data/FittingsDialogModel.h"
#include "logic/model/data/FluidDatabaseModel.h"
#include "logic/model/data/GasPropertiesModel.h"
#include "logic/model/data/PipeDatabaseModel.h"
#include "logic/text/Cp1252.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using FluidField = FluidDatabaseModel::Field;
using PipeField = PipeDatabaseModel::Field;

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void WriteBytes(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("corvane-db-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    DataFiles Fluids() const { return DataFiles(dir_.string(), kFluidStockFile, kFluidUserFile, kFluidBackupFile); }
    DataFiles Pipes() const { return DataFiles(dir_.string(), kPipeStockFile, kPipeUserFile, kPipeBackupFile); }
    fs::path Path(const char* name) const { return dir_ / name; }

    void Stock(const char* name, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const auto& l : lines) bytes += Utf8ToCp1252(l) + "\r\n";
        WriteBytes(Path(name), bytes);
    }

    fs::path dir_;
};

const std::vector<std::string> kFluids = {
    "10\tWater\t20\u00b0C (68\u00b0F)\t1.004000\t0.998000",
    "10\tWater\t40\u00b0C (104\u00b0F)\t0.658000\t0.992000",
    "10\tbenzene\t20\u00b0C (68\u00b0F)\t0.744000\t0.879000",
    "20\tAir\t20\u00b0C (68\u00b0F)\t15.100000\t1.204700",
    "20\tMethane (CH4)\t 20\u00b0C (68.0\u00b0F)\t16.500000\t0.666000",
    "30\tHidden\tx\t1\t1",
};

// ---------------------------------------------------------------- fluids

TEST_F(Folder, FluidListIsSortedIgnoringCaseAndPadded) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), Locale{});
    EXPECT_FALSE(m.load());
    EXPECT_EQ(m.table().used(), 6u);
    m.show();
    ASSERT_EQ(m.rows().size(), 3u);
    EXPECT_EQ(m.rows()[0], "benzene\t20\u00b0C (68\u00b0F)\t              0.744000\t              0.879000");
    EXPECT_EQ(m.rows()[1], "Water\t20\u00b0C (68\u00b0F)\t              1.004000\t              0.998000");
    // The water default selects its row; the fields hold the defaults.
    EXPECT_EQ(m.selected(), 1);
    EXPECT_EQ(m.field(FluidField::Viscosity), "1.004000");
    EXPECT_EQ(m.listHeading(), "Fluid data");
    EXPECT_TRUE(m.liquidUnitShown());
    EXPECT_FALSE(m.changeTempShown());
}

TEST_F(Folder, PaddingLinesUpTheSeparators) {
    EXPECT_EQ(PadNumberText("1.004000", '.', 8), std::string(14, ' ') + "1.004000");
    EXPECT_EQ(PadNumberText("15.100000", '.', 8), std::string(12, ' ') + "15.100000");
    EXPECT_EQ(PadNumberText("1412", '.', 8), std::string(18, ' ') + "1412");
    EXPECT_EQ(PadNumberText("123456789.5", '.', 8), "123456789.5");
    EXPECT_EQ(PadNumberText("25.400", ',', 10), std::string(22, ' ') + "25.400");  // no ',' in it
    EXPECT_EQ(PadNumberText("25,400", ',', 10), std::string(16, ' ') + "25,400");
}

TEST_F(Folder, GasGroupAndAirDefaults) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setGroup(FluidGroup::Gases);
    EXPECT_EQ(m.rows().size(), 2u);
    EXPECT_EQ(m.listHeading(), "Fluid data @ 0.000 barg");
    EXPECT_TRUE(m.changeTempShown());
    EXPECT_EQ(m.field(FluidField::Name), "Air");
    EXPECT_EQ(m.rememberedRow(FluidGroup::Gases), 0);
    m.selectRow(1);
    EXPECT_EQ(m.field(FluidField::Name), "Methane (CH4)");
    EXPECT_EQ(m.field(FluidField::Temperature), " 20\u00b0C (68.0\u00b0F)");
    EXPECT_EQ(m.field(FluidField::Density), "0.666000");
    // Back to liquids and to gases again: the remembered rows come back.
    m.setGroup(FluidGroup::Liquids);
    EXPECT_EQ(m.field(FluidField::Name), "Water");
    m.setGroup(FluidGroup::Gases);
    EXPECT_EQ(m.selected(), 1);
    m.useData();
    EXPECT_TRUE(m.choice().isGas);
    EXPECT_EQ(m.choice().name, "Methane (CH4)");
    // Water defaults switch back to the liquids.
    m.waterDefaults();
    EXPECT_EQ(m.group(), FluidGroup::Liquids);
    EXPECT_EQ(m.selected(), 1);
}

TEST_F(Folder, CommaLocaleLocalisesTheNumbers) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), CommaLocale());
    m.load();
    m.show();
    EXPECT_EQ(m.rows()[1], "Water\t20\u00b0C (68\u00b0F)\t              1,004000\t              0,998000");
    EXPECT_EQ(m.selected(), 1);  // the default is localised the same way
}

TEST_F(Folder, AddingALiquidAppendsItsLineAndSelectsIt) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    EXPECT_FALSE(m.removeEnabled());  // no user file: no user entry
    m.setField(FluidField::Name, "Oil");
    m.setField(FluidField::Temperature, "15\u00b0C");
    m.setField(FluidField::Viscosity, "46");
    m.setField(FluidField::Density, "0.87");
    ASSERT_FALSE(m.add());
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), "11\tOil\t15\xb0" "C\t46.000000\t0.870000\r\n");
    ASSERT_GE(m.selected(), 0);
    EXPECT_EQ(m.rows()[static_cast<std::size_t>(m.selected())].substr(0, 4), "Oil\t");
    EXPECT_TRUE(m.removeEnabled());
    EXPECT_EQ(m.field(FluidField::Viscosity), "46.000000");
}

TEST_F(Folder, DuplicatesAreFoundOnTheBlankFreeText) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setField(FluidField::Name, "  Wa ter ");
    auto r = m.add();
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, (Refusal{MessageKind::Information, "Entry already exists."}));
    EXPECT_FALSE(fs::exists(Path(kFluidUserFile)));
}

// One duplicate rule for the dialogs and corvane-cli: the names blank-free,
// the numbers as the file would hold them (its decimals, no leading zeros).
TEST_F(Folder, DuplicatesAreTheNumbersTheFileWouldHold) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    const struct {
        const char* name;
        const char* viscosity;
        const char* density;
        bool exists;
    } cases[] = {
        {"Water", "1.004", "0.998", true},     // the stock row "1.004000 0.998000"
        {"Water", "01.0040009", "000.998", true},
        {"Water", "1.005", "0.998", false},    // added
        {"Water", "1.005", "0.998", true},     // the second time
        {"Oil", "52.5", "0.9", false},
        {"Oil", "052.5", "0.90", true},
        {"Oil", ".9", "0.9", false},
        {"Oil", "0.900000", "0.9", true},
    };
    for (const auto& c : cases) {
        m.setField(FluidField::Name, c.name);
        m.setField(FluidField::Viscosity, c.viscosity);
        m.setField(FluidField::Density, c.density);
        const auto r = m.add();
        EXPECT_EQ(r ? r->text : "", c.exists ? "Entry already exists." : "") << c.name << " " << c.viscosity;
    }
    EXPECT_EQ(FileNumberKey(" 0,5", 3, Locale{}), "0.500");  // either mark
}

// A liquid's row beyond any relative density is not handed to a panel: its
// DENSITY is taken relative to water's, and 880 would be 880,000 kg/m3.
TEST_F(Folder, ALiquidRowOfNoRelativeDensityIsNotUsed) {
    Stock(kFluidStockFile, kFluids);
    Stock(kFluidUserFile, {"11\tOil\t20\t30.000000\t880.000000", "21\tHeavy\t20\t1.000000\t880.000000"});
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    auto row = [&](const std::string& name) {
        const auto& rows = m.rows();
        const auto it = std::find_if(rows.begin(), rows.end(), [&](const std::string& r) { return r.rfind(name, 0) == 0; });
        return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
    };
    const int oil = row("Oil\t");
    ASSERT_GE(oil, 0);
    const auto refused = m.doubleClick(oil);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, "The row Oil 20 gives the density 880, a relative density: water is 1.\rA liquid's "
                             "relative density is above 0 and at most 30; only a gas's density is in kg/m\u00b3. This "
                             "row cannot be used.");
    EXPECT_FALSE(m.dataUsed());
    m.setGroup(FluidGroup::Gases);  // a gas's density is in kg/m3
    m.selectRow(row("Heavy\t"));
    EXPECT_FALSE(m.useData());
    EXPECT_TRUE(m.dataUsed());
}

TEST_F(Folder, SixDecimalsByTruncation) {
    EXPECT_EQ(TruncateDecimals("1.5", 6, '.'), "1.500000");
    EXPECT_EQ(TruncateDecimals("2", 6, '.'), "2.000000");
    EXPECT_EQ(TruncateDecimals("1.23456789", 6, '.'), "1.234567");
    EXPECT_EQ(TruncateDecimals("25.4", 3, '.'), "25.400");
    EXPECT_EQ(TruncateDecimals("26.6446", 3, '.'), "26.644");
    EXPECT_EQ(TruncateDecimals("7", 3, ','), "7,000");

    // A typed row: the texts cleared of line breaks, the numbers cut.
    const DataRecord r = UserRecord(12, {"Heavy\toil", "20\r", "1.23456789", "2"}, 6, '.');
    EXPECT_EQ(r, (DataRecord{12, "Heavy oil", "20 ", "1.234567", "2.000000"}));
}

TEST_F(Folder, RemovingTheLastRowSelectsTheFirst) {
    Stock(kFluidStockFile, kFluids);
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setField(FluidField::Name, "zinc bath");
    ASSERT_FALSE(m.add());
    const int last = static_cast<int>(m.rows().size()) - 1;
    EXPECT_EQ(m.selected(), last);
    ASSERT_TRUE(m.removeEnabled());
    ASSERT_FALSE(m.remove());
    EXPECT_EQ(m.selected(), 0);
    EXPECT_FALSE(m.removeEnabled());
    EXPECT_EQ(m.rows().size(), 3u);
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), "");
    EXPECT_FALSE(fs::exists(Path(kFluidBackupFile)));
    EXPECT_EQ(m.table().used(), 6u);
}

TEST_F(Folder, StockRowsAreNeverUserEntries) {
    Stock(kFluidStockFile, kFluids);
    Stock(kFluidUserFile, {"11\tOwn\t1\t1.000000\t1.000000"});
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    for (int i = 0; i < static_cast<int>(m.rows().size()); ++i) {
        m.selectRow(i);
        EXPECT_EQ(m.removeEnabled(), m.field(FluidField::Name) == "Own") << i;
        EXPECT_FALSE(m.remove() && m.field(FluidField::Name) != "Own");
    }
}

TEST_F(Folder, ChangeTempFindsTheGasByItsBeginning) {
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setGroup(FluidGroup::Gases);
    m.setField(FluidField::Name, "Propane");
    auto r = m.changeTemp();
    ASSERT_TRUE(std::holds_alternative<Refusal>(r));
    EXPECT_EQ(std::get<Refusal>(r), (Refusal{MessageKind::Information, "Data for chosen gas not available."}));
    m.setField(FluidField::Name, "air");
    EXPECT_EQ(std::get<int>(m.changeTemp()), 0);
    m.setField(FluidField::Name, "Carbon");
    EXPECT_EQ(std::get<int>(m.changeTemp()), 2);
    m.takeGasData("Carbon dioxide (CO2)", " 15\u00b0C (59.0\u00b0F)", "7.811", "1.868");
    EXPECT_EQ(m.selected(), -1);
    EXPECT_EQ(m.field(FluidField::Temperature), " 15\u00b0C (59.0\u00b0F)");
}

TEST_F(Folder, NumberFieldsRefuseZeroAndOtherKeys) {
    FluidDatabaseModel m(Fluids(), Locale{});
    m.setField(FluidField::Viscosity, "");
    EXPECT_FALSE(m.leave(FluidField::Viscosity));
    EXPECT_EQ(m.field(FluidField::Viscosity), "?");
    m.setField(FluidField::Density, "0.000");
    EXPECT_FALSE(m.leave(FluidField::Density));
    EXPECT_EQ(m.field(FluidField::Density), "0.000");
    char32_t key = U'-';
    EXPECT_FALSE(m.keyPress(FluidField::Viscosity, key));
    key = U'\t';
    EXPECT_FALSE(m.keyPress(FluidField::Name, key));
    key = U'\u4e2d';
    EXPECT_FALSE(m.keyPress(FluidField::Name, key));
    key = U'\u00e9';
    EXPECT_TRUE(m.keyPress(FluidField::Name, key));
    EXPECT_TRUE(m.leave(FluidField::Name));
}

TEST_F(Folder, TypedTextCannotBreakTheLineFormat) {
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setField(FluidField::Name, "Bad\tname\r\nwith \u4e2d");
    EXPECT_EQ(m.field(FluidField::Name), "Bad name  with ");
    m.setField(FluidField::Temperature, "x\ty");
    ASSERT_FALSE(m.add());
    const std::string bytes = ReadBytes(Path(kFluidUserFile));
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\t'), 4);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 1);
}

TEST_F(Folder, FullTableDropsTheRest) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1502; ++i) lines.push_back("10\tFluid " + std::to_string(i) + "\t20\t1.000000\t1.000000");
    Stock(kFluidStockFile, std::vector<std::string>(lines.begin(), lines.begin() + 1000));
    Stock(kFluidUserFile, std::vector<std::string>(lines.begin() + 1000, lines.end()));
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    EXPECT_EQ(m.table().used(), 1501u);
    EXPECT_EQ(m.table().records().back().f2, "Fluid 1500");
}

TEST_F(Folder, MalformedLinesAreSkipped) {
    Stock(kFluidStockFile, {"", "x\tA\tB\t1\t1", "10\tshort\t1", "10\tGood\t20\t1\t2\textra", "\t\t\t\t"});
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    EXPECT_EQ(m.table().used(), 1u);
    EXPECT_EQ(m.table().records()[0].f5, "2\textra");  // the fifth field is the rest of the line
}

TEST_F(Folder, UnwritableUserFileLeavesEverythingAsItWas) {
    fs::create_directories(Path(kFluidUserFile));  // a folder where the file should be
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setField(FluidField::Name, "New");
    const auto r = m.add();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, MessageKind::Error);
    EXPECT_NE(r->text.find(Path(kFluidUserFile).string()), std::string::npos);
    EXPECT_EQ(m.table().used(), 0u);
}

// ---------------------------------------------------------------- user file safety

class Interrupted : public std::runtime_error {
public:
    Interrupted() : std::runtime_error("interrupted") {}
};

TEST_F(Folder, RemovalInterruptedAtEveryStepLosesNothing) {
    const std::vector<std::string> lines = {"11\tA\t1\t1.000000\t1.000000", "11\tB\t2\t2.000000\t2.000000",
                                            "21\tC\t3\t3.000000\t3.000000", "11\tB\t2\t2.000000\t2.000000"};
    for (int stop = 1; stop <= 4; ++stop) {
        Stock(kFluidUserFile, lines);
        fs::remove(Path(kFluidBackupFile));
        DataFiles files = Fluids();
        EXPECT_THROW(files.removeFirst(lines[1], [&](int step) {
            if (step == stop) throw Interrupted();
        }),
                     Interrupted)
            << stop;
        // The next start recovers whatever the removal left.
        DataFiles next = Fluids();
        EXPECT_FALSE(next.recover()) << stop;
        EXPECT_FALSE(fs::exists(Path(kFluidBackupFile))) << stop;
        const std::vector<std::string> after = next.userLines();
        // Every line is there, the removed one at most once less.
        for (const std::string& l : {lines[0], lines[2]})
            EXPECT_EQ(std::count(after.begin(), after.end(), l), 1) << stop << " " << l;
        const auto bees = std::count(after.begin(), after.end(), lines[1]);
        EXPECT_TRUE(bees == 1 || bees == 2) << stop;
        EXPECT_LE(after.size(), lines.size());
    }
}

TEST_F(Folder, StaleBackupIsMergedNeverOverwritten) {
    Stock(kFluidUserFile, {"11\tA\t1\t1\t1", "11\tNew\t9\t9\t9"});
    Stock(kFluidBackupFile, {"11\tA\t1\t1\t1", "11\tOld\t8\t8\t8"});
    DataFiles files = Fluids();
    ASSERT_FALSE(files.removeFirst("11\tA\t1\t1\t1"));
    EXPECT_EQ(files.userLines(), (std::vector<std::string>{"11\tOld\t8\t8\t8", "11\tNew\t9\t9\t9"}));
    EXPECT_FALSE(fs::exists(Path(kFluidBackupFile)));
    // At start-up as well.
    Stock(kFluidBackupFile, {"11\tLost\t7\t7\t7"});
    FluidDatabaseModel m(Fluids(), Locale{});
    EXPECT_FALSE(m.load());
    EXPECT_EQ(Fluids().userLines().front(), "11\tLost\t7\t7\t7");
}

TEST_F(Folder, AppendKeepsALineOfItsOwn) {
    WriteBytes(Path(kFluidUserFile), "11\tA\t1\t1\t1");  // no line end
    DataFiles files = Fluids();
    ASSERT_FALSE(files.append("11\tB\t2\t2\t2"));
    EXPECT_EQ(files.userLines(), (std::vector<std::string>{"11\tA\t1\t1\t1", "11\tB\t2\t2\t2"}));
}

// Whatever ends the last line (CR LF, a lone CR, a lone LF or nothing), the
// added line stands on a line of its own and no empty line comes between;
// a removal writes the other line back byte for byte.
TEST_F(Folder, AppendAfterEveryKindOfLastLine) {
    for (const char* end : {"\r\n", "\r", "\n", ""}) {
        SCOPED_TRACE(testing::PrintToString(std::string(end)));
        const std::string first = std::string("11\tA\t1\t1\t1") + end;
        WriteBytes(Path(kFluidUserFile), first);
        DataFiles files = Fluids();
        EXPECT_EQ(files.userLines(), (std::vector<std::string>{"11\tA\t1\t1\t1"}));
        ASSERT_FALSE(files.append("11\tB\t2\t2\t2"));
        EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), (*end ? first : first + "\r\n") + "11\tB\t2\t2\t2\r\n");
        ASSERT_FALSE(files.removeFirst("11\tB\t2\t2\t2"));
        EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), *end ? first : first + "\r\n");
    }
}

// ---------------------------------------------------------------- pipes

const std::vector<std::string> kPipes = {
    "10\tSteel Sch 40\t1/2\"\t15.799\t0.622", "10\tSteel Sch 40\t1\"\t26.645\t1.049",
    "10\tCopper L\t1/2\"\t13.843\t0.545",     "10\tSteel Sch 40\t2\"\t52.502\t2.067",
};

TEST_F(Folder, FirstShowOfThePipes) {
    Stock(kPipeStockFile, kPipes);
    PipeDatabaseModel m(Pipes(), Locale{});
    m.load();
    m.show();
    EXPECT_EQ(m.rows().size(), 4u);
    EXPECT_EQ(m.rows()[0], "Steel Sch 40\t1/2\"\t" + std::string(16, ' ') + "15.799\t" + std::string(18, ' ') + "0.622");
    EXPECT_EQ(m.selected(), 0);
    EXPECT_EQ(m.types(), (std::vector<std::string>{"Steel Sch 40", "Copper L"}));
    EXPECT_EQ(m.selectedType(), 0);
    EXPECT_EQ(m.nominals(), (std::vector<std::string>{"1/2\"", "1\"", "2\""}));
    EXPECT_EQ(m.selectedNominal(), 0);
    EXPECT_EQ(m.field(PipeField::Millimetres), "15.799");
    EXPECT_EQ(m.diameterFor(false), "0.622");
}

TEST_F(Folder, PipeTypeAndNominalChoices) {
    Stock(kPipeStockFile, kPipes);
    PipeDatabaseModel m(Pipes(), Locale{});
    m.load();
    m.show();
    m.chooseType(1);
    EXPECT_EQ(m.nominals(), (std::vector<std::string>{"1/2\""}));
    EXPECT_EQ(m.selected(), 2);
    EXPECT_EQ(m.field(PipeField::Type), "Copper L");
    m.chooseType(0);
    m.chooseNominal(2);
    EXPECT_EQ(m.selected(), 3);
    EXPECT_EQ(m.field(PipeField::Inches), "2.067");
    // A click on the list moves both choosers to the row.
    m.selectRow(1);
    EXPECT_EQ(m.selectedType(), 0);
    EXPECT_EQ(m.selectedNominal(), 1);
    EXPECT_EQ(m.diameterFor(true), "26.645");
}

TEST_F(Folder, AddedPipeComesFirstAndIsSelected) {
    Stock(kPipeStockFile, kPipes);
    PipeDatabaseModel m(Pipes(), Locale{});
    m.load();
    m.show();
    m.setField(PipeField::Type, "PVC");
    m.setField(PipeField::Nominal, "1/2");
    m.setField(PipeField::Millimetres, "13.1");
    m.setField(PipeField::Inches, "0.516");
    ASSERT_FALSE(m.add());
    EXPECT_EQ(ReadBytes(Path(kPipeUserFile)), "11\tPVC\t1/2\t13.100\t0.516\r\n");
    EXPECT_EQ(m.selected(), 0);  // user rows come before the stock rows
    EXPECT_TRUE(m.removeEnabled());
    // Not pickable by type until the next start.
    EXPECT_EQ(std::count(m.types().begin(), m.types().end(), "PVC"), 0);
    m.setField(PipeField::Type, "PVC2");
    ASSERT_FALSE(m.add());
    EXPECT_EQ(m.selected(), 1);  // in the order added
    EXPECT_EQ(m.add(), (Refusal{MessageKind::Information, "Entry already exists."}));
}

TEST_F(Folder, RemovingTheLastPipeRowSelectsRowZero) {
    Stock(kPipeUserFile, {"11\tMine\t1\t1.000\t0.039"});
    PipeDatabaseModel m(Pipes(), Locale{});
    m.load();
    m.show();
    EXPECT_TRUE(m.removeEnabled());
    ASSERT_FALSE(m.remove());
    EXPECT_TRUE(m.rows().empty());
    Stock(kPipeStockFile, kPipes);
    Stock(kPipeUserFile, {"11\tMine\t1\t1.000\t0.039"});
    PipeDatabaseModel n(Pipes(), Locale{});
    n.load();
    n.show();
    n.selectRow(0);
    n.setField(PipeField::Type, "Later");
    ASSERT_FALSE(n.add());
    EXPECT_EQ(n.selected(), 1);
    ASSERT_FALSE(n.remove());
    EXPECT_EQ(n.selected(), 1);  // the same index, still inside the list
}

TEST_F(Folder, PipeTableHas501Slots) {
    std::vector<std::string> lines;
    for (int i = 0; i < 502; ++i) lines.push_back("10\tT\t" + std::to_string(i) + "\t1.000\t0.039");
    Stock(kPipeStockFile, lines);
    PipeDatabaseModel m(Pipes(), Locale{});
    m.load();
    EXPECT_EQ(m.table().used(), 501u);
    EXPECT_EQ(m.table().records().back().f3, "500");
}

// ---------------------------------------------------------------- shipped data

TEST(StockData, EveryLineParsesAndEveryRowIsListed) {
    const DataFiles fluids(CORVANE_DATA, kFluidStockFile, "none.dat", "none.bak");
    const auto fluidLines = fluids.stockLines();
    ASSERT_GE(fluidLines.size(), 60u);
    for (const auto& l : fluidLines) EXPECT_TRUE(ParseDataLine(l, Locale{}, true)) << l;
    FluidDatabaseModel f(fluids, Locale{});
    EXPECT_FALSE(f.load());
    f.show();
    const std::size_t liquids = f.rows().size();
    EXPECT_EQ(f.field(FluidDatabaseModel::Field::Name), "Water");
    EXPECT_GE(f.selected(), 0) << "the water default finds its row";
    f.setGroup(FluidGroup::Gases);
    EXPECT_GE(f.selected(), 0) << "the air default finds its row";
    EXPECT_EQ(f.field(FluidDatabaseModel::Field::Viscosity), "15.100000");
    EXPECT_EQ(liquids + f.rows().size(), fluidLines.size());

    const DataFiles pipes(CORVANE_DATA, kPipeStockFile, "none.dat", "none.bak");
    const auto pipeLines = pipes.stockLines();
    ASSERT_GE(pipeLines.size(), 200u);
    PipeDatabaseModel p(pipes, Locale{});
    EXPECT_FALSE(p.load());
    p.show();
    EXPECT_EQ(p.rows().size(), pipeLines.size());
    EXPECT_EQ(p.types().size(), 12u);
    for (const auto& l : pipeLines) {
        const auto r = ParseDataLine(l, Locale{}, false);
        ASSERT_TRUE(r) << l;
        const double mm = std::stod(r->f4), inch = std::stod(r->f5);
        EXPECT_NEAR(mm / 25.4, inch, 0.0006) << l;  // both columns agree
        EXPECT_EQ(r->f4.size() - r->f4.find('.'), 4u) << l;
    }
}

// ---------------------------------------------------------------- gas calculator

TEST(GasCalculator, Examples) {
    const auto entries = GasTemperatureEntries();
    ASSERT_EQ(entries.size(), 51u);
    EXPECT_EQ(entries[0], "  0\u00b0C (32\u00b0F)");
    EXPECT_EQ(entries[1], "  1\u00b0C (33.8\u00b0F)");
    EXPECT_EQ(entries[20], " 20\u00b0C (68.0\u00b0F)");
    EXPECT_EQ(entries[50], " 50\u00b0C (122.0\u00b0F)");
    GasValues air20 = CalculateGas(0, entries[20], Locale{});
    EXPECT_EQ(air20.r, "287");
    EXPECT_EQ(air20.density, "1.205");
    EXPECT_EQ(air20.dynamic, "18.198");
    EXPECT_EQ(air20.kinematic, "15.105");
    EXPECT_EQ(CalculateGas(0, entries[0], Locale{}).dynamic, "17.200");
    GasValues h50 = CalculateGas(5, entries[50], CommaLocale());
    EXPECT_EQ(h50.density, "0,076");
    EXPECT_EQ(h50.kinematic, "123,436");
    // Typed text without a temperature shows R alone.
    GasValues typed = CalculateGas(0, "warm", Locale{});
    EXPECT_EQ(typed.r, "287");
    EXPECT_EQ(typed.density, "");
    EXPECT_EQ(CalculateGas(11, entries[0], Locale{}).r, "");
    EXPECT_EQ(TemperatureOfEntry("12\u00b0C (53.6\u00b0F)"), 12.0);
}

TEST(GasCalculator, TypedTextThatIsNoEntryShowsOnlyR) {
    // Within the range, outside it, and a minus sign the digit rule would drop.
    for (const char* typed : {"25", "75", "-5", "5", " 20\u00b0C", "20\u00b0C (68.0\u00b0F)"}) {
        const GasValues v = CalculateGas(0, typed, Locale{});
        EXPECT_EQ(v.r, "287") << typed;
        EXPECT_EQ(v.density, "") << typed;
        EXPECT_EQ(v.dynamic, "") << typed;
        EXPECT_EQ(v.kinematic, "") << typed;
    }
    for (const auto& entry : GasTemperatureEntries()) EXPECT_NE(CalculateGas(0, entry, Locale{}).density, "") << entry;
}

TEST(GasCalculator, KeepsItsChoices) {
    GasPropertiesModel m(Locale{});
    EXPECT_EQ(m.gasName(), "Air");
    EXPECT_EQ(m.temperature(), " 20\u00b0C (68.0\u00b0F)");
    m.chooseGas(2);
    m.chooseTemperature(GasTemperatureEntries()[15]);
    EXPECT_EQ(m.gasName(), "Carbon dioxide (CO2)");
    EXPECT_EQ(m.values().density, "1.862");
}

// ---------------------------------------------------------------- fittings dialog

TEST(FittingsDialog, ResetLoadAndStore) {
    FittingsDialogModel m(Locale{});
    EXPECT_EQ(m.store(), "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0.00\t");
    m.load("2\t1\tx\t9\t3\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t1\t0\t0\t0\t0\t0\t0\t1000\t1.234\t");
    EXPECT_EQ(m.opening(0), 2);
    EXPECT_EQ(m.opening(2), 0);  // not an integer
    EXPECT_EQ(m.opening(3), 0);  // not in the list
    EXPECT_EQ(m.count(1), 3);
    EXPECT_EQ(m.count(16), 1);
    EXPECT_EQ(m.count(23), 999);
    EXPECT_EQ(m.extraK(), "1.23");
    m.setExtraK("1.234");
    EXPECT_EQ(m.store().substr(m.store().size() - 6), "1.234\t");
    m.reset();
    EXPECT_EQ(m.count(1), 0);
    EXPECT_EQ(m.extraK(), "0.00");
    FittingsDialogModel comma(CommaLocale());
    EXPECT_EQ(comma.extraK(), "0,00");
    comma.load("0\t0\t0\t0\t" + std::string(46, '0').replace(0, 46, "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t") + "0.5\t");
    EXPECT_EQ(comma.extraK(), "0,50");
    char32_t key = U'-';
    EXPECT_FALSE(comma.keyPress(key));
}

}  // namespace
}  // namespace corvane

#include <csignal>
#include <sys/wait.h>

#include "tests/FileSizeLimit.h"
#include <unistd.h>

namespace corvane {
namespace {

// A disk that fills up during "Add this data to list" leaves the user file
// as it was, without half a line.
TEST_F(Folder, FullDiskDuringAddLeavesTheFileWhole) {
    Stock(kFluidUserFile, {"11\tA\t1\t1.000000\t1.000000"});
    const std::string before = ReadBytes(Path(kFluidUserFile));
    FluidDatabaseModel m(Fluids(), Locale{});
    m.load();
    m.show();
    m.setField(FluidField::Name, "A fluid with a long name that will not fit");

    std::optional<Refusal> r;
    {
        test::FileSizeLimit full(before.size() + 10);
        ASSERT_TRUE(full.active());
        r = m.add();
    }

    ASSERT_TRUE(r);
    EXPECT_EQ(r->kind, MessageKind::Error);
    EXPECT_NE(r->text.find(Path(kFluidUserFile).string()), std::string::npos);
    EXPECT_EQ(ReadBytes(Path(kFluidUserFile)), before);
}

// A removal whose process is killed (SIGKILL) after any of its steps loses
// no line: the next start recovers them all.
TEST_F(Folder, RemovalKilledAtEveryStepLosesNothing) {
    const std::vector<std::string> lines = {"11\tA\t1\t1.000000\t1.000000", "11\tB\t2\t2.000000\t2.000000",
                                            "21\tC\t3\t3.000000\t3.000000"};
    for (int stop = 1; stop <= 4; ++stop) {
        Stock(kFluidUserFile, lines);
        fs::remove(Path(kFluidBackupFile));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            DataFiles files = Fluids();
            files.removeFirst(lines[1], [&](int step) {
                if (step != stop) return;
                const char c = 1;
                (void)!::write(ready[1], &c, 1);
                for (;;) ::pause();  // killed here
            });
            ::_exit(0);
        }
        char c = 0;
        const bool reached = ::read(ready[0], &c, 1) == 1;
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(ready[0]);
        ::close(ready[1]);
        ASSERT_TRUE(reached) << stop;
        ASSERT_TRUE(WIFSIGNALED(status)) << stop;

        FluidDatabaseModel next(Fluids(), Locale{});
        EXPECT_FALSE(next.load()) << stop;
        const std::vector<std::string> after = Fluids().userLines();
        EXPECT_EQ(std::count(after.begin(), after.end(), lines[0]), 1) << stop;
        EXPECT_EQ(std::count(after.begin(), after.end(), lines[2]), 1) << stop;
        EXPECT_LE(std::count(after.begin(), after.end(), lines[1]), 1) << stop;
        EXPECT_FALSE(fs::exists(Path(kFluidBackupFile))) << stop;
    }
}

}  // namespace
}  // namespace corvane
