#include "setup_object.h"

#include <windows.h>

#include "automation/members.h"
#include "data_folder.h"
#include "erp/company_database.h"

namespace vantrel::substitutes::com {

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

const automation::Members<SetupObject>& SetupObject::members() {
    using automation::Access;
    using automation::Call;
    using S = SetupObject;
    static const automation::Members<S> table{
        {u"DataFolder", Access::Read, 0, 0, [](S&, Call&) { return Variant(dataFolder()); }},
        {u"LiveObjects", Access::Read, 0, 0,
         [](S&, Call&) { return Variant(static_cast<double>(erp::liveObjectCount())); }},
        {u"SettingsFile", Access::Read, 1, 1,
         [](S&, Call& c) { return Variant(settingsFile(c.arg(0).toText())); }},
        {u"CreateCompany", Access::Read, 1, 1,
         [](S&, Call& c) {
             erp::createCompanyDatabase(c.arg(0).toText(), true);
             return Variant(true);
         }},
        {u"AddErpUser", Access::Read, 3, 3,
         [](S&, Call& c) {
             erp::addErpUser(c.arg(0).toText(), c.arg(1).toText(), c.arg(2).toText());
             return Variant(true);
         }},
        {u"AddSqlLogin", Access::Read, 3, 3,
         [](S&, Call& c) {
             erp::addSqlLogin(c.arg(0).toText(), c.arg(1).toText(), c.arg(2).toText());
             return Variant(true);
         }},
        // AddArticle(catalog, code, description, price[, vatRate[, unit]])
        {u"AddArticle", Access::Read, 4, 6,
         [](S&, Call& c) {
             erp::Article a;
             a.code = c.arg(1).toText();
             a.description = c.arg(2).toText();
             a.price = c.arg(3).toDouble();
             if (c.has(4) && !c.arg(4).isMissing()) a.vatRate = c.arg(4).toDouble();
             if (c.has(5) && !c.arg(5).isMissing()) a.unit = c.arg(5).toText();
             erp::addArticle(c.arg(0).toText(), a);
             return Variant(true);
         }},
        {u"WriteSetting", Access::Read, 4, 4,
         [](S& s, Call& c) {
             writeSetting(s.context_, c.arg(0).toText(), c.arg(1).toText(), c.arg(2).toText(),
                          c.arg(3).toText());
             return Variant(true);
         }},
    };
    return table;
}

}  // namespace vantrel::substitutes::com
