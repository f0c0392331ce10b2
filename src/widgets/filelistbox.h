// A list of the plain files of one directory whose names match a mask, sorted by name: the
// configuration list.
#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QColor>
#include <QList>
#include <QListView>
#include <QString>

class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void setNames(QList<QByteArray> names);
    const QList<QByteArray> &names() const { return m_names; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<QByteArray> m_names;
};

class FileListBox : public QListView {
    Q_OBJECT
public:
    explicit FileListBox(QWidget *parent = nullptr);

    QByteArray directory() const { return m_directory; }
    QByteArray mask() const { return m_mask; }
    void setMask(const QByteArray &mask) { m_mask = mask; }
    // Leaves out names that hold a line break (for a list whose choice goes into a line of text).
    void setOnlySingleLineNames(bool on) { m_onlySingleLineNames = on; }
    // Lists names that begin with "." too (left out by default).
    void setShowHidden(bool on) { m_showHidden = on; }
    // Points the list at a directory and reads it.
    void setDirectory(const QByteArray &directory);
    // Reads the directory afresh; nothing is selected, and no row looks current, afterwards.
    void reload();

    const QList<QByteArray> &names() const { return m_model->names(); }
    int count() const { return int(names().size()); }
    int itemIndex() const;             // the selected row, -1 when none
    void setItemIndex(int row);        // selects a row (-1: none)
    QByteArray selectedName() const;   // the selected entry's name, empty when none
    QByteArray fileName() const;       // directory + separator + selected name, empty when none
    // The frame that shows the list has the focus, drawn over its own frame: in the palette's
    // highlight unless set. With no row current, nothing else would show it.
    void setFocusFrameColour(const QColor &colour) { m_focusFrameColour = colour; }

signals:
    // The selected entry changed (by the user or the program).
    void selectionChanged();

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    // Repaints the frame around the rows, which shows the focus.
    void updateFocusFrame();

    FileListModel *m_model;
    QColor m_focusFrameColour;
    QByteArray m_directory;
    QByteArray m_mask = "*";
    bool m_onlySingleLineNames = false;
    bool m_showHidden = false;
};
