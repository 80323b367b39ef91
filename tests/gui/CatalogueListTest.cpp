#include "core/firmware/Receiverdat.h"
#include "core/lists/ListenDat.h"
#include "core/res/StringIds.h"
#include "core/settings/GrundDat.h"
#include "gui/ui/DateiListCtrl.h"

#include <QHeaderView>
#include <QImage>

#include <gtest/gtest.h>

namespace fw {
namespace {

CReceiverdat Firmware(const std::string& name, std::int32_t size,
                      const std::string& version = "V1.0") {
    CReceiverdat record;
    record.m_strFileName = name;
    record.m_size = size;
    record.m_version = version;
    return record;
}

QStringList RowTexts(const CDateiListCtrl& list, int row) {
    QStringList texts;
    for (int column = 0; column < list.ColumnCount(); ++column)
        texts << list.topLevelItem(row)->text(column);
    return texts;
}

// Lines (or with byColumn, columns) of the viewport holding anything but the background.
std::vector<int> InkedLines(CDateiListCtrl& list, bool byColumn = false) {
    const QImage image = list.viewport()->grab().toImage();
    const QRgb background = list.palette().color(QPalette::Base).rgb();
    const int outer = byColumn ? image.width() : image.height();
    const int inner = byColumn ? image.height() : image.width();
    std::vector<int> lines;
    for (int a = 0; a < outer; ++a) {
        for (int b = 0; b < inner; ++b) {
            if (image.pixel(byColumn ? a : b, byColumn ? b : a) != background) {
                lines.push_back(a);
                break;
            }
        }
    }
    return lines;
}

TEST(ReportListCtrlTest, ColumnsTakeTheirTitleAlignmentAndPaddedWidth) {
    CReportListCtrl list;
    list.SetColumns(QStringLiteral("Prg#|Programmname##########|>Adr#|^PCR "));
    ASSERT_EQ(list.ColumnCount(), 4);
    EXPECT_EQ(list.columnCount(), 4);
    const QFontMetrics metrics = list.fontMetrics();
    const char* titles[] = {"Prg", "Programmname", "Adr", "PCR "};
    const char* measured[] = {"Prg#", "Programmname##########", "Adr#", "PCR "};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.GetColumnText(i), titles[i]);
        EXPECT_EQ(list.columnWidth(i), std::max(20, metrics.horizontalAdvance(measured[i]) + 15))
            << i;
    }
    EXPECT_EQ(list.headerItem()->textAlignment(0) & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(list.headerItem()->textAlignment(2) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(list.headerItem()->textAlignment(3) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(list.GetColumnText(4), "");
    EXPECT_EQ(list.GetColumnText(-1), "");

    // A second set-up replaces the columns instead of adding to them.
    list.SetColumns(str::kFirmwareCatalogueColumns);
    EXPECT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.GetColumnText(2), "Size");
}

TEST(ReportListCtrlTest, SelectionHelpers) {
    CReportListCtrl list;
    list.SetColumns(str::kSettingsCatalogueColumns);
    for (int i = 0; i < 4; ++i)
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{QString::number(i)}));

    EXPECT_EQ(list.GetSelectedIndex(), -1) << "nothing selected";
    list.SelectRow(2, true);
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    list.SelectRow(3, false);
    EXPECT_EQ(list.selectedItems().size(), 2);
    EXPECT_EQ(list.GetSelectedIndex(), -1) << "two selected";
    list.SelectRow(1, true);
    EXPECT_EQ(list.selectedItems().size(), 1);
    EXPECT_EQ(list.GetSelectedIndex(), 1);
    list.SelectRow(7, true);
    EXPECT_EQ(list.GetSelectedIndex(), 1) << "a row out of range changes nothing";
}

TEST(DateiListCtrlTest, RowsShowDecodedTextsAndSizes) {
    CDateiListCtrl firmware;
    firmware.SetColumns(str::kFirmwareCatalogueColumns);
    firmware.AddFirmwareRow(0, Firmware("Update ü.bsr", 1048576, "V2.1 \xe4\x80"), 0);
    EXPECT_EQ(RowTexts(firmware, 0), (QStringList{"Update ü.bsr", "V2.1 ä€", "1025 KB"}));

    CDateiListCtrl lists;
    lists.SetColumns(str::kListCatalogueColumns);
    CListenDat list;
    list.m_strFileName = "astra.lst";
    list.m_strName = "Sch\xf6n";
    list.m_strType = "TV";
    list.m_nSize = 1023;
    lists.AddListRow(0, list, 0);
    EXPECT_EQ(RowTexts(lists, 0), (QStringList{"astra.lst", "Schön", "TV", "1 KB"}));

    CDateiListCtrl settings;
    settings.SetColumns(str::kSettingsCatalogueColumns);
    CGrundDat grund;
    grund.m_strFileName = "basis.grd";
    grund.m_size = -5; // never "billions of KB"
    settings.AddSettingsRow(0, grund, 0);
    grund.m_size = 2048;
    settings.AddSettingsRow(1, grund, 1);
    EXPECT_EQ(RowTexts(settings, 0), (QStringList{"basis.grd", "1 KB"}));
    EXPECT_EQ(RowTexts(settings, 1), (QStringList{"basis.grd", "3 KB"}));
}

TEST(DateiListCtrlTest, InsertPositionsAndNextIndex) {
    CDateiListCtrl list;
    list.SetColumns(str::kFirmwareCatalogueColumns);
    EXPECT_EQ(list.AddFirmwareRow(0, Firmware("b.bsr", 1), 10), 0);
    EXPECT_EQ(list.AddFirmwareRow(0, Firmware("a.bsr", 1), 11), 0);
    EXPECT_EQ(list.GetNextIndex(), 1);
    // Past the end goes to the end instead of being lost.
    EXPECT_EQ(list.AddFirmwareRow(9, Firmware("c.bsr", 1), 12), 2);
    EXPECT_EQ(list.GetNextIndex(), 3);
    EXPECT_EQ(list.GetRecordIndex(0), 11);
    EXPECT_EQ(list.GetRecordIndex(2), 12);
    EXPECT_EQ(list.GetRecordIndex(3), -1);

    list.DeleteRow(1);
    EXPECT_EQ(list.FindRow("b.bsr"), -1);
    list.DeleteAllRows();
    EXPECT_EQ(list.RowCount(), 0);
    EXPECT_EQ(list.GetNextIndex(), 0);
}

TEST(DateiListCtrlTest, ColumnsOnlyGrow) {
    CDateiListCtrl list;
    list.SetColumns(str::kFirmwareCatalogueColumns);
    const int titleWidth = list.columnWidth(0);
    const QString longName = QStringLiteral("a-rather-long-firmware-file-name-for-the-test.bsr");
    list.AddFirmwareRow(0, Firmware(longName.toStdString(), 1), 0);
    const int grown = list.fontMetrics().horizontalAdvance(longName) + 20;
    ASSERT_GT(grown, titleWidth);
    EXPECT_EQ(list.columnWidth(0), grown);

    list.AddFirmwareRow(1, Firmware("x.bsr", 1), 1);
    list.SetCellText(0, 0, QStringLiteral("y"));
    list.DeleteRow(0);
    EXPECT_EQ(list.columnWidth(0), grown) << "shorter texts and removed rows never narrow a column";
    EXPECT_EQ(list.columnWidth(2), std::max(list.fontMetrics().horizontalAdvance("Size") + 15,
                                            list.fontMetrics().horizontalAdvance("1 KB") + 20));
}

TEST(DateiListCtrlTest, FindRowIgnoresCaseAndMatchesWholeNames) {
    CDateiListCtrl list;
    list.SetColumns(str::kFirmwareCatalogueColumns);
    list.AddFirmwareRow(0, Firmware("Alpha.bsr", 1), 0);
    list.AddFirmwareRow(1, Firmware("beta.BSR", 1), 1);
    list.AddFirmwareRow(2, Firmware("BETA.bsr", 1), 2);
    EXPECT_EQ(list.FindRow("alpha.BSR"), 0);
    EXPECT_EQ(list.FindRow("Beta.bsr"), 1) << "the first match from the top";
    EXPECT_EQ(list.FindRow("beta"), -1) << "whole names only";
    EXPECT_EQ(list.FindRow(""), -1);
}

TEST(DateiListCtrlTest, SelectedAndFocusedRowsAndTheirRecords) {
    CDateiListCtrl list;
    list.SetColumns(str::kFirmwareCatalogueColumns);
    for (int i = 0; i < 3; ++i)
        list.AddFirmwareRow(i, Firmware("f" + std::to_string(i), 1), 100 + i);

    EXPECT_EQ(list.GetSelectedIndex(), -1);
    EXPECT_EQ(list.GetSelectedRecord(), -1);
    list.SelectRow(1, true);
    EXPECT_EQ(list.GetSelectedIndex(), 1);
    EXPECT_EQ(list.GetSelectedRecord(), 101);
    list.SelectRow(2, false);
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    EXPECT_EQ(list.GetSelectedRecord(), -1);

    list.setCurrentItem(list.topLevelItem(2), 0, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(list.GetFocusedIndex(), 2);
    list.setCurrentItem(nullptr);
    EXPECT_EQ(list.GetFocusedIndex(), -1);
}

TEST(DateiListCtrlTest, SortByRecordsKeepsTheSelection) {
    CDateiListCtrl list;
    list.SetColumns(str::kFirmwareCatalogueColumns);
    const std::vector<std::string> names = {"c", "a", "b"};
    for (int i = 0; i < 3; ++i)
        list.AddFirmwareRow(i, Firmware(names[static_cast<std::size_t>(i)], 1), i);
    list.SelectRow(0, true); // "c"
    list.setCurrentItem(list.topLevelItem(0), 0, QItemSelectionModel::NoUpdate);

    list.SortRows([&](int a, int b) {
        return names[static_cast<std::size_t>(a)] < names[static_cast<std::size_t>(b)];
    });
    EXPECT_EQ(list.topLevelItem(0)->text(0), "a");
    EXPECT_EQ(list.topLevelItem(2)->text(0), "c");
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    EXPECT_EQ(list.GetSelectedRecord(), 0);
    EXPECT_EQ(list.GetFocusedIndex(), 2);
}

TEST(DateiListCtrlTest, EmptyCatalogueHintIsPaintedBelowTheHeaderUntilARowArrives) {
    CDateiListCtrl list;
    list.SetColumns(str::kFirmwareCatalogueColumns);
    list.resize(360, 200);
    list.show();
    EXPECT_FALSE(list.ShowsEmptyText()) << "no hint chosen yet";
    EXPECT_TRUE(InkedLines(list).empty());

    list.SetEmptyTextId(str::kNoFirmwareFiles);
    EXPECT_EQ(list.EmptyText(), "No files. Please select button LOCAL in LOAD.");
    EXPECT_TRUE(list.ShowsEmptyText());
    const std::vector<int> inked = InkedLines(list);
    ASSERT_FALSE(inked.empty()) << "the hint is drawn";
    EXPECT_GE(inked.front(), 10) << "10 pixels of space under the header";
    EXPECT_LT(inked.front(), 10 + list.fontMetrics().height());
    const std::vector<int> columns = InkedLines(list, true);
    const int leftMargin = columns.front();
    const int rightMargin = list.viewport()->width() - 1 - columns.back();
    EXPECT_NEAR(leftMargin, rightMargin, 3) << "centred";

    list.AddFirmwareRow(0, Firmware("a.bsr", 1), 0);
    EXPECT_FALSE(list.ShowsEmptyText());
    list.DeleteRow(0);
    EXPECT_TRUE(list.ShowsEmptyText()) << "the hint returns with the last row gone";
}

TEST(DateiListCtrlTest, LongHintWrapsInsideANarrowList) {
    CDateiListCtrl list;
    list.SetColumns(str::kListCatalogueColumns);
    list.SetEmptyTextId(str::kNoCatalogueFiles);
    list.resize(140, 300);
    list.show();
    const std::vector<int> inked = InkedLines(list);
    ASSERT_FALSE(inked.empty());
    EXPECT_GT(inked.back() - inked.front(), 2 * list.fontMetrics().height()) << "several lines";
}

} // namespace
} // namespace fw
