#include "gui/print/DlgDrucke.h"

#include "gui/ui/Texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace fw {

namespace {

using namespace ids::printing;

// A row of blocks with one lit block running to and fro: shows that the job lives while a
// page takes long to spool.
class BusyIndicator : public QWidget {
public:
    explicit BusyIndicator(QWidget* parent) : QWidget(parent) {
        setObjectName(QString::number(kBusy));
        setMinimumHeight(fontMetrics().height() * 2);
        auto* timer = new QTimer(this);
        timer->setInterval(90);
        connect(timer, &QTimer::timeout, this, [this] {
            m_step = (m_step + 1) % (2 * (kBlocks - 1));
            update();
        });
        timer->start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int gap = 4;
        const int size = std::min(height() - 2 * gap, (width() - gap) / kBlocks - gap);
        const int left = (width() - kBlocks * (size + gap) + gap) / 2;
        const int lit = m_step < kBlocks ? m_step : 2 * (kBlocks - 1) - m_step;
        for (int block = 0; block < kBlocks; ++block) {
            const QColor colour = block == lit ? palette().color(QPalette::Highlight)
                                               : palette().color(QPalette::Mid);
            painter.fillRect(left + block * (size + gap), (height() - size) / 2, size, size,
                             colour);
        }
    }

private:
    static constexpr int kBlocks = 12;
    int m_step = 0;
};

// The window's texts are C format strings: %s and %d take the values in order, %% is a %.
QString FillFormat(const QString& format, const QStringList& values) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        const QChar kind = i + 1 < format.size() ? format[i + 1] : QChar();
        if (c == u'%' && kind == u'%') {
            out += u'%';
            ++i;
        } else if (c == u'%' && (kind == u's' || kind == u'd') && next < values.size()) {
            out += values[next++];
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QLabel* Label(const QString& text, int id, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::number(id));
    return label;
}

} // namespace

CDlgDrucke::CDlgDrucke(const QString& documentTitle, const QString& device, const QString& port,
                       QWidget* owner)
    : QDialog(owner) {
    setObjectName(QString::number(kDialog));
    setWindowTitle(DialogText(kDialog, "caption"));
    // Over the editor only: disabling the editor instead would take this window's Cancel along.
    setWindowModality(Qt::WindowModal);
    m_pageFormat = DialogText(kDialog, kPage);
    BuildLayout(FillFormat(DialogText(kDialog, kTarget), {documentTitle, device, port}));
}

CDlgDrucke::~CDlgDrucke() {
    if (m_worker.joinable()) {
        m_cancel.store(true);
        m_worker.join();
    }
}

void CDlgDrucke::BuildLayout(const QString& target) {
    auto* busy = new BusyIndicator(this);
    m_page = Label(QString(), kPage, this);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(kProgress));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_percent = Label(QStringLiteral("0 %"), kPercent, this);
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percent->setMinimumWidth(m_percent->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    m_cancelButton = new QPushButton(DialogText(kDialog, kCancel), this);
    m_cancelButton->setObjectName(QString::number(kCancel));
    connect(m_cancelButton, &QPushButton::clicked, this, &CDlgDrucke::reject);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(m_percent);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(busy);
    layout->addWidget(Label(target, kTarget, this));
    layout->addWidget(m_page);
    layout->addLayout(progressRow);
    setMinimumWidth(fontMetrics().averageCharWidth() * 50);
}

PrintOutcome CDlgDrucke::Run(Job job) {
    m_cancel.store(false);
    m_running = true;
    m_worker = std::thread([this, job = std::move(job)] {
        m_outcome = job(m_cancel, [this](int page, int total) {
            m_totalPages.store(total);
            m_startedPage.store(page);
            QMetaObject::invokeMethod(this, &CDlgDrucke::ShowPage, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(this, &CDlgDrucke::OnJobEnded, Qt::QueuedConnection);
    });
    exec();
    if (m_worker.joinable()) {
        // The window went without the job, when its owner was closed.
        m_cancel.store(true);
        m_worker.join();
    }
    m_running = false;
    return m_outcome;
}

void CDlgDrucke::ShowPage() {
    const int page = m_startedPage.load();
    const int total = std::max(1, m_totalPages.load());
    m_progress->setRange(0, total);
    m_progress->setValue(page);
    m_percent->setText(FillFormat(QStringLiteral("%d %%"), {QString::number(page * 100 / total)}));
    m_page->setText(FillFormat(m_pageFormat, {QString::number(page), QString::number(total)}));
}

void CDlgDrucke::OnJobEnded() {
    m_worker.join();
    m_running = false;
    done(QDialog::Accepted);
}

void CDlgDrucke::reject() {
    if (!m_running) {
        QDialog::reject();
        return;
    }
    m_cancel.store(true);
    m_cancelButton->setEnabled(false);
}

} // namespace fw
