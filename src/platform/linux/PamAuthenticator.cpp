#include "platform/linux/PamAuthenticator.h"

#include <QFileInfo>

#include <security/pam_appl.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Conversation {
    QByteArrayView password;
    QByteArray user;
};

// Answers every hidden prompt with the password and a visible one (a user
// name prompt) with the user; messages need no answer.
int converse(int count, const pam_message **messages, pam_response **responses, void *data)
{
    if (count <= 0)
        return PAM_CONV_ERR;
    const auto *conversation = static_cast<const Conversation *>(data);
    auto *answers = static_cast<pam_response *>(std::calloc(std::size_t(count), sizeof(pam_response)));
    if (!answers)
        return PAM_BUF_ERR;
    for (int i = 0; i < count; ++i) {
        QByteArrayView answer;
        switch (messages[i]->msg_style) {
        case PAM_PROMPT_ECHO_OFF:
            answer = conversation->password;
            break;
        case PAM_PROMPT_ECHO_ON:
            answer = conversation->user;
            break;
        default:
            continue;
        }
        // PAM owns and frees the answer; it wipes its copies of the
        // password itself.
        answers[i].resp = static_cast<char *>(std::malloc(std::size_t(answer.size()) + 1));
        if (!answers[i].resp) {
            for (int j = 0; j < i; ++j) {
                if (answers[j].resp)
                    explicit_bzero(answers[j].resp, std::strlen(answers[j].resp));
                std::free(answers[j].resp);
            }
            std::free(answers);
            return PAM_BUF_ERR;
        }
        if (!answer.isEmpty())
            std::memcpy(answers[i].resp, answer.data(), std::size_t(answer.size()));
        answers[i].resp[answer.size()] = '\0';
    }
    *responses = answers;
    return PAM_SUCCESS;
}

} // namespace

PamAuthenticator::PamAuthenticator(QString service, QString user)
    : m_service(std::move(service)), m_user(std::move(user))
{
}

bool PamAuthenticator::isAvailable() const
{
    if (m_user.isEmpty() || m_service.isEmpty() || m_service.contains(u'/'))
        return false;
    // Without its own file PAM falls back to the "other" service, which
    // many systems set to refuse everyone.
    const bool configured = QFileInfo::exists(QStringLiteral("/etc/pam.d/") + m_service)
        || QFileInfo::exists(QStringLiteral("/usr/lib/pam.d/") + m_service);
    return configured && getpwnam(m_user.toLocal8Bit().constData()) != nullptr;
}

std::expected<void, QString> PamAuthenticator::verify(QByteArrayView password) const
{
    // Text answers cannot carry a NUL.
    if (password.contains('\0'))
        return std::unexpected(QStringLiteral("Authentication failure"));
    Conversation conversation {password, m_user.toLocal8Bit()};
    const pam_conv conv {&converse, &conversation};
    pam_handle_t *handle = nullptr;
    int status
        = pam_start(m_service.toLocal8Bit().constData(), conversation.user.constData(), &conv, &handle);
    if (status != PAM_SUCCESS)
        return std::unexpected(QString::fromLocal8Bit(pam_strerror(handle, status)));
    status = pam_authenticate(handle, 0);
    const QString message = QString::fromLocal8Bit(pam_strerror(handle, status));
    pam_end(handle, status);
    if (status != PAM_SUCCESS)
        return std::unexpected(message);
    return {};
}

QString PamAuthenticator::currentUser()
{
    const passwd *entry = getpwuid(getuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}
