#include "Journal.h"

namespace standin {

std::string CallRecord::ToString() const
{
    std::string text = object;
    if (!label.empty())
        text += "[" + label + "]";
    text += "." + member;
    if (kind == CallKind::Put) {
        text += " = " + (args.empty() ? std::string("?") : args.front());
    } else if (kind == CallKind::Method || !args.empty()) {
        text += "(";
        for (std::size_t i = 0; i < args.size(); ++i)
            text += (i ? ", " : "") + args[i];
        text += ")";
    }
    if (FAILED(result)) {
        char code[16];
        wsprintfA(code, "%08lX", static_cast<unsigned long>(result));
        text += std::string(" -> failed 0x") + code;
    }
    return text;
}

void Journal::FailCall(const std::string& key, int occurrence, HRESULT result)
{
    failByKey_[{key, occurrence}] = result;
}

void Journal::FailCallNumber(int number, HRESULT result)
{
    failByNumber_[number] = result;
}

void Journal::Observe(const std::string& key, std::function<void()> observer)
{
    observers_.emplace(key, std::move(observer));
}

HRESULT Journal::Record(CallRecord record)
{
    const auto [first, last] = observers_.equal_range(record.Key());
    for (auto observer = first; observer != last; ++observer)
        observer->second();

    const int occurrence = ++occurrences_[record.Key()];
    const int number = static_cast<int>(calls_.size()) + 1;
    HRESULT result = S_OK;
    if (const auto found = failByKey_.find({record.Key(), occurrence}); found != failByKey_.end())
        result = found->second;
    if (const auto found = failByNumber_.find(number); found != failByNumber_.end())
        result = found->second;
    record.result = result;
    calls_.push_back(std::move(record));
    return result;
}

void Journal::MarkLastFailed(HRESULT result)
{
    if (!calls_.empty())
        calls_.back().result = result;
}

void Journal::RecordIdLookup(const std::string& object, const std::string& member)
{
    idLookups_.push_back(object + "." + member);
}

std::vector<std::string> Journal::CallStrings() const
{
    std::vector<std::string> strings;
    for (const CallRecord& call : calls_)
        strings.push_back(call.ToString());
    return strings;
}

int Journal::CountOf(const std::string& key) const
{
    int count = 0;
    for (const CallRecord& call : calls_)
        count += call.Key() == key;
    return count;
}

void Journal::Clear()
{
    calls_.clear();
    idLookups_.clear();
    occurrences_.clear();
}

}  // namespace standin
