#include "update/service_contract.h"

#include "update/answer_text.h"

namespace tidewell {

HeaderList CheckRequestHeaders(const Text& version, const Text& language, const Text& clientId) {
    return {
        {u"User-Version", version},
        {u"User-Language", language},
        {u"User-Debug", u"false"},
        {u"User-Union", clientId},
    };
}

HeaderList HoldRequestHeaders(const Text& version) {
    return {
        {u"User-Version", version},
        {u"User-Command", u"hold"},
    };
}

Text AnswerUpdateAddress(TextView answer) {
    return JsonUnescape(ExtractBetween(answer, answer_tags::kUpdate, answer_tags::kValueEnd));
}

NoticeFields AnswerNotice(TextView answer) {
    const Text info = ExtractBetween(answer, answer_tags::kInfo, answer_tags::kInfoEnd);
    const auto field = [&info](TextView tag) {
        return JsonUnescape(ExtractBetween(info, tag, answer_tags::kValueEnd));
    };
    NoticeFields notice;
    notice.style = field(answer_tags::kStyle);
    notice.text = field(answer_tags::kText);
    notice.flag = field(answer_tags::kFlag);
    notice.url = field(answer_tags::kUrl);
    return notice;
}

}  // namespace tidewell
