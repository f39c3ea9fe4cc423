// Os nomes dos vereditos: a única tabela deles.
#include "state/veredito.h"

namespace {

struct nome_veredito {
    veredito v;
    const char* nome;
};

constexpr nome_veredito nomes[] = {{veredito::convergiu, "convergiu"},
                                   {veredito::parou, "parou"},
                                   {veredito::estagnou, "estagnou"},
                                   {veredito::divergiu, "divergiu"}};

} // namespace

const char* nome_do_veredito(veredito v) {
    for (const nome_veredito& n : nomes)
        if (n.v == v) return n.nome;
    return "?";
}

std::optional<veredito> veredito_de_nome(std::string_view nome) {
    for (const nome_veredito& n : nomes)
        if (nome == n.nome) return n.v;
    return std::nullopt;
}

std::string nomes_dos_vereditos() {
    std::string s;
    const std::size_t n = sizeof nomes / sizeof nomes[0];
    for (std::size_t i = 0; i < n; ++i) s += (i == 0 ? "" : i + 1 == n ? " ou " : ", ") + std::string(nomes[i].nome);
    return s;
}
