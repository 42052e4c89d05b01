// The e-mail export: the stand-in mail system writes each message, with the report attached
// as a PDF, into the outbox folder as one RFC 5322 file (.eml). GMime builds the MIME parts
// and encodes non-ASCII headers as encoded words. Linux only.
#include <gmime/gmime.h>

#include <cstdio>
#include <memory>
#include <mutex>

#include "automation/runtime_error.h"
#include "output_files.h"
#include "pdf_renderer.h"

namespace vantrel::substitutes::reports {

using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::toUtf8;

namespace {

// Who the stand-in mail system sends as.
constexpr const char* kSenderName = "Relatórios QuorilVantrel";
constexpr const char* kSenderAddress = "relatorios@quorilvantrel.invalid";

struct Unref {
    void operator()(void* o) const { g_object_unref(o); }
};
template <typename T>
using Owned = std::unique_ptr<T, Unref>;

// Addresses as the runtime takes them: separated by ";" or ",".
Owned<InternetAddressList> addresses(const Text& list) {
    std::string text = toUtf8(list);
    for (auto& c : text) {
        if (c == ';') c = ',';
    }
    return Owned<InternetAddressList>(internet_address_list_parse(nullptr, text.c_str()));
}

RuntimeError mailError(const Text& problem) {
    return RuntimeError(automation::errc::ApplicationDefined, u"CrystalRuntime",
                        u"Export: " + problem);
}

}  // namespace

OutputResult mailReport(const ReportContent& content, const MailFields& mail,
                        TextView outboxFolder) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { g_mime_init(); });

    auto to = addresses(mail.to);
    if (mail.to.empty() || !to || internet_address_list_length(to.get()) == 0) {
        throw mailError(u"no recipient (MailToList is empty or holds no address)");
    }
    const std::string pdf = renderPdf(content);

    Owned<GMimeMessage> message(g_mime_message_new(TRUE));
    g_mime_message_add_mailbox(message.get(), GMIME_ADDRESS_TYPE_FROM, kSenderName, kSenderAddress);
    internet_address_list_append(g_mime_message_get_to(message.get()), to.get());
    if (!mail.cc.empty()) {
        if (auto cc = addresses(mail.cc)) {
            internet_address_list_append(g_mime_message_get_cc(message.get()), cc.get());
        }
    }
    g_mime_message_set_subject(message.get(), toUtf8(mail.subject).c_str(), "utf-8");
    GDateTime* now = g_date_time_new_now_local();
    g_mime_message_set_date(message.get(), now);
    g_date_time_unref(now);
    char* id = g_mime_utils_generate_message_id("quorilvantrel.invalid");
    g_mime_message_set_message_id(message.get(), id);
    g_free(id);

    // The body stays UTF-8 whatever it holds (set_text would pick the narrowest charset).
    const std::string text = toUtf8(mail.message);
    Owned<GMimeTextPart> body(g_mime_text_part_new_with_subtype("plain"));
    g_mime_text_part_set_charset(body.get(), "utf-8");
    Owned<GMimeStream> textBytes(g_mime_stream_mem_new_with_buffer(text.data(), text.size()));
    Owned<GMimeDataWrapper> textWrapper(
        g_mime_data_wrapper_new_with_stream(textBytes.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(GMIME_PART(body.get()), textWrapper.get());
    g_mime_part_set_content_encoding(GMIME_PART(body.get()),
                                     GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);

    Owned<GMimePart> attachment(g_mime_part_new_with_type("application", "pdf"));
    Owned<GMimeStream> bytes(g_mime_stream_mem_new_with_buffer(pdf.data(), pdf.size()));
    Owned<GMimeDataWrapper> wrapper(
        g_mime_data_wrapper_new_with_stream(bytes.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(attachment.get(), wrapper.get());
    g_mime_part_set_content_encoding(attachment.get(), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_part_set_filename(attachment.get(), toUtf8(mail.attachmentName).c_str());

    Owned<GMimeMultipart> mixed(g_mime_multipart_new_with_subtype("mixed"));
    g_mime_multipart_add(mixed.get(), GMIME_OBJECT(body.get()));
    g_mime_multipart_add(mixed.get(), GMIME_OBJECT(attachment.get()));
    g_mime_message_set_mime_part(message.get(), GMIME_OBJECT(mixed.get()));

    std::FILE* file = nullptr;
    const auto path = createUniqueFile(outputFolder(outboxFolder), "mensagem", ".eml", file);
    Owned<GMimeStream> stream(g_mime_stream_file_new(file));  // owns and closes `file`
    const bool written =
        g_mime_object_write_to_stream(GMIME_OBJECT(message.get()), nullptr, stream.get()) > 0 &&
        g_mime_stream_flush(stream.get()) == 0;
    stream.reset();
    const Text where = automation::fromUtf8(path.string());
    if (!written) throw mailError(u"cannot write " + where);
    return {ProducedOutput{u"outbox", where}, u"mailed to " + mail.to + u" (" + where + u")"};
}

}  // namespace vantrel::substitutes::reports
