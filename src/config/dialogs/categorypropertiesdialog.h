#pragma once

#include "config/tree/categoryproperties.h"

#include <QDialog>

class Collection;
class MessageBoxService;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
struct CategoryNode;

// The dialog in which a category is created or its properties changed. It
// shows the values, keeps its controls consistent and refuses a name the
// collection cannot take; the caller reads properties() after OK and applies
// them.
class CategoryPropertiesDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { New, Edit };

    // In edit mode `edited` is the category being changed and fills the
    // dialog (it is not used after the constructor); in new mode it is null.
    CategoryPropertiesDialog(Mode mode, const Collection &collection, const CategoryNode *edited,
                             MessageBoxService &messages, QWidget *parent = nullptr);

    // Without Cancel (a category must be made) Escape and the close box do nothing.
    void setCancelAllowed(bool allowed);
    CategoryProperties properties() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void reject() override;

signals:
    void helpRequested(const QString &topic);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildCategoryPage();
    QWidget *buildPropertiesPage();
    void fillFrom(const CategoryNode &category);
    void tryAccept();
    void updateLimitControls();
    void updateActionControls(bool resetCount);
    void updateCopyPlacement();
    void requestHelp();

    const Mode m_mode;
    const Collection &m_collection;
    // The edited category as it was when the dialog opened: the dialog never
    // holds the category itself, which may be freed while it is up.
    const bool m_editing;
    const QString m_editedName;
    const int m_editedItemCount;
    MessageBoxService &m_messages;
    bool m_cancelAllowed = true;

    QTabWidget *m_pages = nullptr;
    QWidget *m_categoryPage = nullptr;
    QLineEdit *m_nameEdit = nullptr;
    QCheckBox *m_alphabetizeCheck = nullptr;
    QComboBox *m_copyFromCombo = nullptr;
    QGroupBox *m_copyPlacementGroup = nullptr;
    QButtonGroup *m_copyPlacement = nullptr;
    QRadioButton *m_noLimitRadio = nullptr;
    QRadioButton *m_limitRadio = nullptr;
    QSpinBox *m_limitSpin = nullptr;
    QLabel *m_limitNote = nullptr;
    QCheckBox *m_lockCheck = nullptr;
    QComboBox *m_actionCombo = nullptr;
    QLineEdit *m_extraTextEdit = nullptr;
    QLabel *m_countLabel = nullptr;
    QSpinBox *m_countSpin = nullptr;
    QCheckBox *m_ownMethodCheck = nullptr;
    QGroupBox *m_methodGroup = nullptr;
    QButtonGroup *m_method = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_helpButton = nullptr;
};
