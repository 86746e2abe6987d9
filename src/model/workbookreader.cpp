#include "model/workbookreader.h"

#include <QDate>
#include <QHash>

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <orcus/exception.hpp>

#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

namespace ss = orcus::spreadsheet;

// A workbook within the limits unpacks to far less: a million rows of short
// cells take a few hundred megabytes of XML.
constexpr quint64 kMaxUnpackedBytes = 1024ULL * 1024 * 1024;

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString numberText(double value)
{
    if (std::isfinite(value) && std::floor(value) == value && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

// Whether a number format shows a date: one of the built-in date formats, or
// a code with a day or a year in it outside quoted text and [...] sections.
bool isDateFormat(size_t id, std::string_view code)
{
    if (code.empty())
        return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\\')
            ++i;
        else if (c == '[')
            ++bracket;
        else if (c == ']')
            bracket = std::max(0, bracket - 1);
        else if (bracket == 0 && (c == 'd' || c == 'D' || c == 'y' || c == 'Y'))
            return true;
    }
    return false;
}

struct Stop
{
};

// What every sheet shares while a workbook is read.
struct Reading
{
    Reading(const TableLimits &l, const std::atomic_bool *s) : limits(l), stop(s) {}

    const TableLimits &limits;
    const std::atomic_bool *stop;
    TableOverflow overflow;
    bool stopped = false;
    std::vector<QString> strings;
    std::vector<bool> dateXfs; // by cell format index
    QDate origin{1899, 12, 30};

    [[noreturn]] void refuse(TableOverflow::Kind kind, qsizetype record)
    {
        overflow = {kind, record};
        throw Stop{};
    }
    void check()
    {
        if (overflow || stopped)
            throw Stop{};
        if (stop && stop->load()) {
            stopped = true;
            throw Stop{};
        }
    }
};

class SharedStrings final : public ss::iface::import_shared_strings
{
public:
    explicit SharedStrings(Reading &reading) : m_reading(reading) {}

    size_t append(std::string_view s) override { return keep(s); }
    size_t add(std::string_view s) override { return keep(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { m_segments.append(s.data(), qsizetype(s.size())); }
    size_t commit_segments() override
    {
        const size_t id = keep(std::string_view(m_segments.constData(), std::size_t(m_segments.size())));
        m_segments.clear();
        return id;
    }

private:
    size_t keep(std::string_view s)
    {
        // A character takes at most four bytes: longer is too long whatever it holds.
        if (qsizetype(s.size() / 4) > m_reading.limits.fieldLength)
            m_reading.refuse(TableOverflow::FieldLength, -1);
        m_reading.strings.push_back(text(s));
        return m_reading.strings.size() - 1;
    }

    Reading &m_reading;
    QByteArray m_segments;
};

// Only what tells a date from a number is kept: each cell format's number
// format, and which number formats show dates.
class Styles final : public ss::iface::import_styles
{
public:
    explicit Styles(Reading &reading) : m_reading(reading) {}

    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(ss::underline_t) override {}
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_strikethrough_style(ss::strikethrough_style_t) override {}
    void set_strikethrough_type(ss::strikethrough_type_t) override {}
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override { return m_fonts++; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t) override {}
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    size_t commit_fill() override { return m_fills++; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                          ss::color_elem_t) override
    {
    }
    void set_border_width(ss::border_direction_t, double, orcus::length_unit_t) override {}
    size_t commit_border() override { return m_borders++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return m_protections++; }
    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { m_formatId = id; }
    void set_number_format_code(std::string_view s) override { m_formatCode.assign(s); }
    size_t commit_number_format() override
    {
        const size_t id = m_formatId ? *m_formatId : 1000 + m_dateFormats.size();
        m_dateFormats.insert(id, isDateFormat(id, m_formatCode));
        m_formatId.reset();
        m_formatCode.clear();
        return id;
    }
    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_number_format(size_t index) override { m_xfFormat = index; }
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
    void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
    size_t commit_cell_xf() override
    {
        const auto known = m_dateFormats.constFind(m_xfFormat);
        m_reading.dateXfs.push_back(known != m_dateFormats.cend() ? *known : isDateFormat(m_xfFormat, {}));
        m_xfFormat = 0;
        return m_reading.dateXfs.size() - 1;
    }
    size_t commit_cell_style_xf() override { return m_styleXfs++; }
    size_t commit_dxf() override { return m_dxfs++; }
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return m_cellStyles++; }

private:
    Reading &m_reading;
    std::optional<size_t> m_formatId;
    std::string m_formatCode;
    QHash<size_t, bool> m_dateFormats;
    size_t m_xfFormat = 0;
    size_t m_fonts = 0, m_fills = 0, m_borders = 0, m_protections = 0, m_styleXfs = 0, m_dxfs = 0, m_cellStyles = 0;
};

class Sheet;

// A formula cell: its value saved with the file, set once the formula is committed.
class Formula final : public ss::iface::import_formula
{
public:
    explicit Formula(Sheet &sheet) : m_sheet(sheet) {}

    void set_position(ss::row_t row, ss::col_t col) override
    {
        m_row = row;
        m_col = col;
        m_value.clear();
        m_number = false;
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override { m_value = text(value); }
    void set_result_value(double value) override
    {
        m_value = numberText(value);
        m_number = true;
    }
    void set_result_bool(bool value) override { m_value = value ? u"DOĞRU"_s : u"YANLIŞ"_s; }
    void set_result_empty() override { m_value.clear(); }
    void commit() override;

private:
    Sheet &m_sheet;
    ss::row_t m_row = 0;
    ss::col_t m_col = 0;
    QString m_value;
    bool m_number = false;
};

class Sheet final : public ss::iface::import_sheet
{
public:
    Sheet(Reading &reading, QString name) : m_reading(reading), m_formula(*this) { m_table.name = std::move(name); }

    ss::iface::import_formula *get_formula() override { return &m_formula; }
    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override { put(row, col, text(s)); }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override
    {
        m_reading.check();
        if (id < m_reading.strings.size())
            put(row, col, m_reading.strings[id]);
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override { putNumber(row, col, value); }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        put(row, col, value ? u"DOĞRU"_s : u"YANLIŞ"_s);
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int, int, double) override
    {
        put(row, col, QDate(year, month, day).toString(u"dd.MM.yyyy"));
    }
    // The styles may come after the cells (they do in .xlsx): which formats
    // show dates is known only at the end. Format 0 is the plain one.
    void set_format(ss::row_t row, ss::col_t col, size_t xf) override
    {
        if (xf != 0)
            m_formats.append({row, col, xf});
    }
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override
    {
        const QString value = at(row, col);
        for (ss::row_t r = 1; r <= count; ++r)
            put(row + r, col, value);
    }
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

    void putNumber(ss::row_t row, ss::col_t col, double value)
    {
        put(row, col, numberText(value));
        m_numbers.insert(key(row, col), value);
    }
    void put(ss::row_t row, ss::col_t col, const QString &value)
    {
        m_reading.check();
        if (value.isEmpty())
            return;
        if (row < 0 || row >= m_reading.limits.records)
            m_reading.refuse(TableOverflow::Records, row);
        if (col < 0 || col >= m_reading.limits.fields)
            m_reading.refuse(TableOverflow::Fields, row);
        if (value.size() > m_reading.limits.fieldLength)
            m_reading.refuse(TableOverflow::FieldLength, row);
        QList<QStringList> &records = m_table.records;
        if (records.size() <= row)
            records.resize(row + 1);
        QStringList &record = records[row];
        if (record.size() <= col)
            record.resize(col + 1);
        record[col] = value;
    }

    // The numbers shown as dates written as dates, once every cell is known.
    SheetTable finish()
    {
        for (const auto &[row, col, xf] : std::as_const(m_formats)) {
            if (xf >= m_reading.dateXfs.size() || !m_reading.dateXfs[xf])
                continue;
            const auto number = m_numbers.constFind(key(row, col));
            if (number != m_numbers.cend() && std::isfinite(*number) && std::fabs(*number) < 3e6)
                m_table.records[row][col] = m_reading.origin.addDays(qint64(std::floor(*number))).toString(u"dd.MM.yyyy");
        }
        return std::move(m_table);
    }

private:
    static quint64 key(ss::row_t row, ss::col_t col) { return quint64(quint32(row)) << 32 | quint32(col); }
    QString at(ss::row_t row, ss::col_t col) const
    {
        return row >= 0 && row < m_table.records.size() ? m_table.records.at(row).value(col) : QString();
    }

    Reading &m_reading;
    Formula m_formula;
    SheetTable m_table;
    // Numbers by cell, for the cells whose format turns out to show a date.
    QHash<quint64, double> m_numbers;
    struct Format
    {
        ss::row_t row;
        ss::col_t col;
        size_t xf;
    };
    QList<Format> m_formats;
};

void Formula::commit()
{
    if (m_number)
        m_sheet.putNumber(m_row, m_col, m_value.toDouble());
    else
        m_sheet.put(m_row, m_col, m_value);
}

class GlobalSettings final : public ss::iface::import_global_settings
{
public:
    explicit GlobalSettings(Reading &reading) : m_reading(reading) {}
    void set_origin_date(int year, int month, int day) override { m_reading.origin = QDate(year, month, day); }
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override { m_grammar = grammar; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return m_grammar; }
    void set_character_set(orcus::character_set_t) override {}

private:
    Reading &m_reading;
    ss::formula_grammar_t m_grammar = ss::formula_grammar_t::unknown;
};

// Cell addresses as .xlsx writes them ("C2", "$A$1", "A1:G4"), the sheet
// left to the caller.
class References final : public ss::iface::import_reference_resolver
{
public:
    ss::src_address_t resolve_address(std::string_view address) override
    {
        ss::src_address_t at{0, 0, 0};
        std::size_t i = 0;
        auto skipDollar = [&] {
            if (i < address.size() && address[i] == '$')
                ++i;
        };
        skipDollar();
        int column = 0;
        for (; i < address.size() && std::isalpha(uchar(address[i])); ++i)
            column = std::min(column * 26 + (std::toupper(uchar(address[i])) - 'A' + 1), 1 << 20);
        skipDollar();
        int row = 0;
        for (; i < address.size() && std::isdigit(uchar(address[i])); ++i)
            row = std::min(row * 10 + (address[i] - '0'), 1 << 24);
        if (column == 0 || row == 0 || i != address.size())
            throw orcus::invalid_arg_error("not a cell address");
        at.row = row - 1;
        at.column = column - 1;
        return at;
    }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const std::size_t colon = range.find(':');
        if (colon == std::string_view::npos) {
            const ss::src_address_t one = resolve_address(range);
            return {one, one};
        }
        return {resolve_address(range.substr(0, colon)), resolve_address(range.substr(colon + 1))};
    }
};

class Factory final : public ss::iface::import_factory
{
public:
    explicit Factory(Reading &reading) : m_strings(reading), m_styles(reading), m_settings(reading), m_reading(reading) {}

    ss::iface::import_global_settings *get_global_settings() override { return &m_settings; }
    ss::iface::import_shared_strings *get_shared_strings() override { return &m_strings; }
    ss::iface::import_styles *get_styles() override { return &m_styles; }
    ss::iface::import_reference_resolver *get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_references;
    }
    ss::iface::import_sheet *append_sheet(ss::sheet_t, std::string_view name) override
    {
        m_sheets.push_back(std::make_unique<Sheet>(m_reading, text(name)));
        m_names.push_back(std::string(name));
        return m_sheets.back().get();
    }
    ss::iface::import_sheet *get_sheet(std::string_view name) override
    {
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == name)
                return m_sheets[i].get();
        }
        return nullptr;
    }
    ss::iface::import_sheet *get_sheet(ss::sheet_t index) override
    {
        return index >= 0 && std::size_t(index) < m_sheets.size() ? m_sheets[std::size_t(index)].get() : nullptr;
    }
    void finalize() override {}

    QList<SheetTable> finish()
    {
        QList<SheetTable> sheets;
        for (const std::unique_ptr<Sheet> &sheet : m_sheets)
            sheets.append(sheet->finish());
        return sheets;
    }

private:
    SharedStrings m_strings;
    Styles m_styles;
    GlobalSettings m_settings;
    References m_references;
    Reading &m_reading;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<std::string> m_names;
};

quint32 le32(QByteArrayView bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(QByteArrayView bytes, qsizetype at)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data()) + at;
    return quint16(p[0] | p[1] << 8);
}

// The sizes the archive's directory announces for its files once unpacked,
// added up; nullopt when the directory cannot be read. Read before anything
// is unpacked, so that a small archive of gigabytes is refused unopened.
std::optional<quint64> unpackedSize(QByteArrayView zip)
{
    constexpr qsizetype kEndRecord = 22;
    if (zip.size() < kEndRecord)
        return std::nullopt;
    qsizetype end = -1;
    for (qsizetype at = zip.size() - kEndRecord; at >= 0 && at >= zip.size() - kEndRecord - 65535; --at) {
        if (le32(zip, at) == 0x06054b50) {
            end = at;
            break;
        }
    }
    if (end < 0)
        return std::nullopt;
    const qsizetype entries = le16(zip, end + 10);
    qsizetype at = le32(zip, end + 16);
    quint64 total = 0;
    for (qsizetype i = 0; i < entries; ++i) {
        if (at < 0 || at + 46 > zip.size() || le32(zip, at) != 0x02014b50)
            return std::nullopt;
        const quint32 size = le32(zip, at + 24);
        total += size == 0xFFFFFFFF ? kMaxUnpackedBytes + 1 : size; // ZIP64: at least 4 GB
        at += 46 + le16(zip, at + 28) + le16(zip, at + 30) + le16(zip, at + 32);
    }
    return total;
}

// An OpenDocument file saved with a password keeps its manifest readable and
// says there how each part is encrypted.
bool encryptedOpenDocument(QByteArrayView zip)
{
    try {
        orcus::zip_archive_stream_blob stream(reinterpret_cast<const uint8_t *>(zip.data()), std::size_t(zip.size()));
        orcus::zip_archive archive(&stream);
        archive.load();
        std::vector<unsigned char> manifest;
        if (!archive.read_file_entry("META-INF/manifest.xml", manifest))
            return false;
        return QByteArrayView(reinterpret_cast<const char *>(manifest.data()), qsizetype(manifest.size()))
            .contains("encryption-data");
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

bool LooksLikeWorkbook(QByteArrayView bytes)
{
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

WorkbookRead ReadWorkbook(QByteArrayView bytes, const TableLimits &limits, const std::atomic_bool *stop)
{
    using Failure = WorkbookRead::Failure;
    WorkbookRead read;
    // Excel's password protection, and the old .xls, are compound files.
    if (bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        read.failure = Failure::Protected;
        return read;
    }
    if (!bytes.startsWith("PK\x03\x04")) {
        read.failure = Failure::NotWorkbook;
        return read;
    }
    const std::optional<quint64> unpacked = unpackedSize(bytes);
    if (!unpacked) {
        read.failure = Failure::Damaged;
        return read;
    }
    if (*unpacked > kMaxUnpackedBytes) {
        read.failure = Failure::TooLarge;
        return read;
    }

    Reading reading(limits, stop);
    Factory factory(reading);
    std::unique_ptr<orcus::iface::import_filter> filter;
    const auto *blob = reinterpret_cast<const unsigned char *>(bytes.data());
    try {
        if (orcus::orcus_xlsx::detect(blob, std::size_t(bytes.size())))
            filter = std::make_unique<orcus::orcus_xlsx>(&factory);
        else if (orcus::orcus_ods::detect(blob, std::size_t(bytes.size())))
            filter = std::make_unique<orcus::orcus_ods>(&factory);
    } catch (const std::exception &) {
        read.failure = Failure::Damaged;
        return read;
    }
    if (!filter) {
        read.failure = Failure::NotWorkbook;
        return read;
    }
    try {
        filter->read_stream(std::string_view(bytes.data(), std::size_t(bytes.size())));
    } catch (const Stop &) {
    } catch (const std::exception &) {
        read.failure = encryptedOpenDocument(bytes) ? Failure::Protected : Failure::Damaged;
        return read;
    }
    // A stop or a limit may have been met where the library caught it and read on.
    if (reading.stopped) {
        read.failure = Failure::Stopped;
        return read;
    }
    if (reading.overflow) {
        read.overflow = reading.overflow;
        return read;
    }
    read.sheets = factory.finish();
    return read;
}

} // namespace velmor
