// Os nomes dos vereditos: a única tabela deles.
#include "state/veredito.h"

namespace {

struct nome_veredito {
    veredito v;
    const char* nome;
};

constexpr nome_veredito tabela_vereditos[] = {{veredito::convergiu, "convergiu"},
                                   {veredito::parou, "parou"},
                                   {veredito::estagnou, "estagnou"},
                                   {veredito::divergiu, "divergiu"}};

} // namespace

const char* nome_do_veredito(veredito v) {
    for (const nome_veredito& n : tabela_vereditos)
        if (n.v == v) return n.nome;
    return "?";
}

std::optional<veredito> veredito_de_nome(std::string_view nome) {
    for (const nome_veredito& n : tabela_vereditos)
        if (nome == n.nome) return n.v;
    return std::nullopt;
}

std::string nomes_dos_vereditos() {
    std::string s;
    const std::size_t n = sizeof tabela_vereditos / sizeof tabela_vereditos[0];
    for (std::size_t i = 0; i < n; ++i) s += (i == 0 ? "" : i + 1 == n ? " ou " : ", ") + std::string(tabela_vereditos[i].nome);
    return s;
}
