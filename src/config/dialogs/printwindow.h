#pragma once

#include <QDialog>

#include <functional>

struct Item;
class FormatBar;
class MessageBoxService;
class QCheckBox;
class QPrinter;
class QPushButton;
class RichEdit;

// "Print Selected Item": the text of one item, which the user may format
// for the printout and print. Nothing done here is written back to the item.
class PrintWindow : public QDialog
{
    Q_OBJECT
public:
    // Asks the user where and how to print; false when they cancelled.
    using PrinterChooser = std::function<bool(QPrinter &printer, QWidget *parent)>;

    PrintWindow(const Item &item, MessageBoxService &messages, QWidget *parent = nullptr);

    // The standard print dialog unless replaced (tests print to a file).
    void setPrinterChooser(PrinterChooser chooser);

    // Prints the whole text as one job on `printer`; throws ProgramError
    // when the printer cannot take it.
    void print(QPrinter &printer);
    // The Print button: asks for the printer, prints, and says what went wrong.
    void printWithChoice();

    RichEdit *textEdit() const { return m_text; }
    FormatBar *formatBar() const { return m_bar; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    MessageBoxService &m_messages;
    PrinterChooser m_chooser;
    FormatBar *m_bar = nullptr;
    RichEdit *m_text = nullptr;
    QCheckBox *m_wordWrap = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_close = nullptr;
};
