#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class Connection;
class Statement;

// The logical type of a field, taken from the column's declared type.
enum class FieldKind { Unknown, Integer, Double, Currency, Date, Boolean, Text, Memo };

struct FieldDef
{
    QString name;
    FieldKind kind = FieldKind::Unknown;
    QString displayLabel;
    bool calculated = false;
    bool key = false;
};

// What the windows call a query: a statement in the program's dialect, its rows held
// in memory, a current row, editing written back to the statement's base table by its
// autonumber key, named parameters taken from a master dataset's current row, an
// in-memory sort, cached updates and calculated fields. Every change is signalled so
// that grids bound to it follow.
class Dataset : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Calculation = std::function<QVariant(const Dataset &, int row)>;

    explicit Dataset(Connection *connection = nullptr, QObject *parent = nullptr);
    ~Dataset() override;

    void setConnection(Connection *connection);
    Connection *connection() const { return m_connection; }

    // A new statement; it forgets the values given with setParameter.
    void setSql(const QString &programSql);
    // A value for a :Name parameter of the statement (name with or without the colon,
    // matched without case). It takes precedence over the master's field of that name.
    void setParameter(const QString &name, const QVariant &value);
    QVariant parameter(const QString &name) const;
    QString sql() const { return m_sql; }
    void open();
    void close();
    // Runs the statement without expecting rows; returns the number of rows changed.
    int execute();
    // Steps the statement and hands each row's values (typed as value() types them) to
    // row() as it is read, keeping none: output of any length in constant memory.
    // fieldsKnown() runs first, once the field list (fieldNames()) is known. The
    // dataset stays closed.
    void streamRows(const std::function<void()> &fieldsKnown, const std::function<void(const QList<QVariant> &)> &row);
    // The same, each row's cells handed over as the UTF-8 text displayText() gives for
    // their values (empty for null), without building values where the stored text or
    // number already is that text. The views are valid during the call only.
    void streamText(const std::function<void()> &fieldsKnown,
                    const std::function<void(const QByteArrayView *cells, int count)> &row);
    // Opens the statement again, keeping the current row position where possible.
    void refresh();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }

    // --- rows and navigation
    int recordCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    // Bytes the loaded rows take: their packed cells and row records.
    qint64 heldBytes() const;
    int currentRow() const { return m_current; } // -1 when closed or empty
    void setCurrentRow(int row);
    void first() { setCurrentRow(0); }
    void last() { setCurrentRow(recordCount() - 1); }
    void next();
    void prior();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    // Moves to the first row whose field equals value (text compared without case).
    bool locate(const QString &field, const QVariant &value);

    // --- fields
    int fieldCount() const { return int(m_fields.size()); }
    const FieldDef &fieldDef(int field) const { return m_fields.at(field); }
    int fieldIndex(const QString &name) const;
    int checkedFieldIndex(const QString &name) const; // throws when the field is missing
    QStringList fieldNames() const;
    void setDisplayLabel(const QString &field, const QString &label);
    QString displayLabel(int field) const;

    QVariant value(int row, int field) const;
    QVariant value(const QString &field) const; // current row; null when there is none
    QString text(const QString &field) const;
    qint64 integer(const QString &field) const;
    double number(const QString &field) const;
    bool boolean(const QString &field) const;
    QDate date(const QString &field) const;
    bool isNull(const QString &field) const;
    static QString displayText(const QVariant &value);
    // The text a grid shows for a value of a field of that kind: dates yyyy-MM-dd, 是/否,
    // whole numbers without decimals, amounts to at most four places.
    static QString gridText(FieldKind kind, const QVariant &value);

    // --- editing
    bool isReadOnly() const { return m_baseTable.isEmpty(); }
    QString baseTable() const { return m_baseTable; }
    void append();
    void edit();
    // post() of an edit refuses with DbError of kind StaleRow (this text) when another
    // workstation changed a field this edit changes since the row was read; the row then
    // shows what is stored now and the dataset is back in browse state.
    static QString staleRowMessage();
    void setValue(const QString &field, const QVariant &value);
    void setValue(int field, const QVariant &value);
    void post();
    void cancel();
    void remove(); // deletes the current row

    // --- cached updates: edits stay in memory until applyUpdates() writes them all
    void setCachedUpdates(bool cached);
    bool cachedUpdates() const { return m_cached; }
    bool hasPendingUpdates() const;
    void applyUpdates();
    void cancelUpdates();

    // --- calculated fields, added before open()
    void addCalculatedField(const QString &name, FieldKind kind, Calculation calculation);

    // --- loading in the background
    // A long list loads off the window thread, on a read connection of the dataset's own:
    // open() reads the first screenful itself and returns: a short list is then complete
    // as with a plain open, while the rows of a long one keep arriving in batches
    // (rowsAppended) until loadFinished() or loadFailed(). Whatever needs every row
    // (locate, sort, refresh, editing) waits for the load first. A load while the
    // window's connection is inside a transaction reads there, at once, so that it sees
    // the transaction's own changes. Off by default.
    void setBackgroundLoading(bool on) { m_background = on; }
    bool backgroundLoading() const { return m_background; }
    bool isLoading() const { return m_loader != nullptr; }
    // Takes in the rest of a running load (the window thread waits for it).
    void waitForLoaded();
    // How long open() waits for the whole of a background load before it returns with
    // the rows read so far (default 0: a long list shows its first screenful at once).
    static void setForegroundWaitMs(int ms);
    // The longest open() reads or waits for a list's first screenful (default 15 ms): a
    // statement slow to give its first rows (a search) then loads wholly in the background.
    static void setFirstScreenTimeMs(int ms);

    // --- master-detail: :Name parameters take the master's current-row values
    void setMaster(Dataset *master);
    Dataset *master() const { return m_master; }
    void link();
    void unlink();
    bool isLinked() const { return m_master && m_linked; }

    // --- in-memory sort from a text such as "  Company DESC , City"; empty restores load order
    void setSort(const QString &sortText);
    QString sort() const { return m_sortText; }

signals:
    void reset();                  // opened, closed, re-queried or re-sorted
    void rowChanged(int row);      // a row's values changed
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentRowChanged(int row);
    void stateChanged(Dataset::State state);
    void rowsAppended(int first, int last); // rows of a background load arrived at the end
    void loadFinished();
    void loadFailed(const QString &message); // the rows read before the failure stay

private:
    enum class RowStatus : quint8 { Unchanged, Modified, Inserted };
    // Packed rows live in large blocks rather than one allocation per row: a million rows
    // then cost their cells and a 16-byte record each. Blocks are freed all at once when
    // the rows go (close, open); a changed row is packed anew and its old cells stay
    // until then.
    class CellArena
    {
    public:
        const char *store(const char *data, size_t size);
        const char *store(const QByteArray &bytes) { return store(bytes.constData(), size_t(bytes.size())); }
        void clear();
        void adopt(CellArena &other); // takes over the other arena's blocks
        qint64 bytes() const { return m_bytes; }
    private:
        // Frees a block as it was allocated: a mapping of its own, or the heap.
        struct Release
        {
            size_t mappedBytes = 0;
            void operator()(char *block) const;
        };
        using Block = std::unique_ptr<char[], Release>;
        static Block allocate(size_t bytes, bool huge);
        std::vector<Block> m_blocks;
        char *m_free = nullptr;
        size_t m_left = 0;
        qint64 m_bytes = 0; // block bytes allocated
    };
    struct Row
    {
        const char *cells = nullptr; // packed cell values in the arena, see Dataset.cpp
        int origin = 0;              // position in load order, for restoring an unsorted order
        RowStatus status = RowStatus::Unchanged;
    };

    struct Loader;
    class LoadWorker;
    void prepareFields(class Statement &statement);
    void bindParameters(class Statement &statement);
    QList<QVariant> parameterValues(class Statement &statement);
    Connection *readConnection();
    bool openInBackground(bool freshlyPrepared);
    enum class FrontRead { NotTried, Complete, FirstScreen, OutOfTime };
    FrontRead readFirstScreen(Connection &reader, std::unique_ptr<Statement> &statement,
                              std::chrono::steady_clock::time_point deadline);
    void takeRows();      // moves the rows a background load has read into the dataset
    void becomeOpen();
    void cancelLoad();    // stops a running load; the rows read so far stay
    void detectBaseTable();
    void masterMoved();
    void applySort();
    void setState(State state);
    void requireBrowse(const char *action);
    QVariant storedValue(const Row &row, int field) const;
    QVariant typedValue(int field, const QVariant &raw) const; // a cell as read, typed by its field
    QVariant coerce(int field, const QVariant &value) const;
    QByteArray pack(const QList<QVariant> &values) const;
    QList<QVariant> unpack(const Row &row) const;
    void writeInsert(QList<QVariant> &values);
    void writeUpdate(const QList<QVariant> &original, const QList<QVariant> &values);
    bool readStoredRow(const QVariant &key, QList<QVariant> *values);
    void showStoredNow(Row &row);
    void writeDelete(const QVariant &key);
    void emitCurrent();

    Connection *m_connection = nullptr;
    QString m_sql;
    // The prepared statement is kept while the text stays the same: a detail query that
    // follows its master is only reset, re-bound and stepped on each move.
    std::unique_ptr<Statement> m_statement;
    QString m_preparedSql;
    State m_state = State::Inactive;
    std::vector<FieldDef> m_fields;
    QHash<QString, int> m_fieldByName; // lower-case name -> index
    struct Calculated { QString name; FieldKind kind; Calculation calculation; };
    QList<Calculated> m_calculations;
    int m_storedFieldCount = 0;
    std::vector<Row> m_rows;
    CellArena m_arena;
    int m_current = -1;
    int m_nextOrigin = 0;
    bool m_bof = true;
    bool m_eof = true;
    QString m_baseTable;
    int m_keyField = -1;
    QList<QVariant> m_buffer;   // values of the row being edited or inserted
    QList<QVariant> m_original; // its values before editing
    QList<QVariant> m_storedNow; // the row as another workstation saved it (a refused save)
    bool m_cached = false;
    QList<QVariant> m_deletedKeys;
    QPointer<Dataset> m_master;
    bool m_linked = true;
    bool m_hasParameters = false;
    QHash<QString, QVariant> m_parameters; // lower-case name -> value
    QString m_sortText;
    QList<QPair<int, bool>> m_sortFields; // field, descending
    bool m_background = false;
    std::unique_ptr<Connection> m_readConnection; // the background loads' own
    std::unique_ptr<Loader> m_loader;             // the load running now
    std::unique_ptr<LoadWorker> m_worker;         // the thread the loads run on, kept between them
};
