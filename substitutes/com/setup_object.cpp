#include "setup_object.h"

#include <windows.h>

#include "data_folder.h"
#include "erp/company_database.h"

namespace vantrel::substitutes::com {

using automation::argumentAt;
using automation::isMember;
using automation::RuntimeError;
using automation::Text;
using automation::TextView;
using automation::Variant;

Text windowsDataFolder(TextView configured) {
    Text folder(configured);
    if (!folder.empty() && folder[0] == u'/') folder = u"Z:" + folder;
    for (auto& c : folder)
        if (c == u'/') c = u'\\';
    return folder;
}

namespace {

Text settingsFile(TextView company) {
    return dataFolder() + u"\\talmek\\VANTREL." + Text(company);
}

void writeSetting(const StandInContext& context, TextView company, TextView section, TextView key,
                  TextView value) {
    if (!context.profile) throw RuntimeError(automation::errc::NotSupported);
    Text folder = dataFolder() + u"\\talmek";
    Text databases = dataFolder() + u"\\databases";
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(dataFolder().c_str()), nullptr);
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()), nullptr);
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(databases.c_str()), nullptr);
    std::string s = automation::toCp1252(section), k = automation::toCp1252(key),
                v = automation::toCp1252(value), f = automation::toCp1252(settingsFile(company));
    if (!context.profile->writeString(s.c_str(), k.c_str(), v.c_str(), f.c_str()))
        throw RuntimeError(automation::errc::PathFileAccessError);
}

}  // namespace

Variant SetupObject::invoke(TextView member, automation::CallKind kind,
                            std::span<automation::Argument> args) {
    bool put = kind == automation::CallKind::Put || kind == automation::CallKind::PutRef;
    if (isMember(member, u"DataFolder") && !put) return Variant(dataFolder());
    if (isMember(member, u"LiveObjects") && !put)
        return Variant(static_cast<double>(erp::liveObjectCount()));
    if (isMember(member, u"SettingsFile"))
        return Variant(settingsFile(argumentAt(args, 0).toText()));
    if (isMember(member, u"CreateCompany")) {
        erp::createCompanyDatabase(argumentAt(args, 0).toText(), true);
        return Variant(true);
    }
    if (isMember(member, u"AddErpUser")) {
        erp::addErpUser(argumentAt(args, 0).toText(), argumentAt(args, 1).toText(),
                        argumentAt(args, 2).toText());
        return Variant(true);
    }
    if (isMember(member, u"AddSqlLogin")) {
        erp::addSqlLogin(argumentAt(args, 0).toText(), argumentAt(args, 1).toText(),
                         argumentAt(args, 2).toText());
        return Variant(true);
    }
    if (isMember(member, u"AddArticle")) {
        erp::Article a;
        a.code = argumentAt(args, 1).toText();
        a.description = argumentAt(args, 2).toText();
        a.price = argumentAt(args, 3).toDouble();
        if (args.size() > 4 && !args[4].value.isMissing()) a.vatRate = args[4].value.toDouble();
        if (args.size() > 5 && !args[5].value.isMissing()) a.unit = args[5].value.toText();
        erp::addArticle(argumentAt(args, 0).toText(), a);
        return Variant(true);
    }
    if (isMember(member, u"WriteSetting")) {
        writeSetting(context_, argumentAt(args, 0).toText(), argumentAt(args, 1).toText(),
                     argumentAt(args, 2).toText(), argumentAt(args, 3).toText());
        return Variant(true);
    }
    automation::unknownMember(member);
}

}  // namespace vantrel::substitutes::com
