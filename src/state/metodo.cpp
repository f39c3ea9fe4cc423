// O método como dado: nomes dos componentes, valores efetivos e a comparação com a rodada clássica.
#include "state/metodo.h"

namespace {

constexpr const char* nomes_ciclo[] = {"V", "W", "F"};
constexpr const char* nomes_suavizador[] = {"gs-lex", "gs-rb", "jacobi", "gs-sym", "line-x", "line-y", "line-alt"};
constexpr const char* nomes_restricao[] = {"injection", "half", "full"};

template <class T, std::size_t N>
std::optional<T> de_nome(const char* const (&nomes)[N], std::string_view nome) {
    for (std::size_t i = 0; i < N; ++i)
        if (nome == nomes[i]) return static_cast<T>(i);
    return std::nullopt;
}

} // namespace

const char* nome_ciclo(tipo_ciclo c) { return nomes_ciclo[static_cast<int>(c)]; }
const char* nome_suavizador(tipo_suavizador s) { return nomes_suavizador[static_cast<int>(s)]; }
const char* nome_restricao(tipo_restricao r) { return nomes_restricao[static_cast<int>(r)]; }

std::optional<tipo_ciclo> ciclo_de_nome(std::string_view nome) { return de_nome<tipo_ciclo>(nomes_ciclo, nome); }
std::optional<tipo_suavizador> suavizador_de_nome(std::string_view nome) {
    return de_nome<tipo_suavizador>(nomes_suavizador, nome);
}
std::optional<tipo_restricao> restricao_de_nome(std::string_view nome) {
    return de_nome<tipo_restricao>(nomes_restricao, nome);
}

bool aceita_omega(tipo_suavizador s) {
    return s == tipo_suavizador::gs_lex || s == tipo_suavizador::gs_rb || s == tipo_suavizador::gs_sym
           || s == tipo_suavizador::jacobi;
}

metodo_solver metodo_efetivo(const metodo_solver& m, int nitm) {
    metodo_solver r = m;
    if (r.pre == conforme_nitm) r.pre = nitm;
    if (r.pos == conforme_nitm) r.pos = nitm;
    if (r.grosso == conforme_nitm) r.grosso = nitm;
    if (!aceita_omega(r.suavizador)) r.omega = 1.0; // as linhas não relaxam
    else if (r.omega == 0.0) r.omega = r.suavizador == tipo_suavizador::jacobi ? 0.8 : 1.0;
    return r;
}

bool metodo_classico(const metodo_solver& efetivo, int nm, int nitm) {
    const metodo_solver& m = efetivo;
    const bool pontual = m.suavizador == tipo_suavizador::gs_lex && m.omega == 1.0
                         && m.inicio == tipo_inicio::conforme_tipo_ci;
    if (nm == 1) return pontual;
    return pontual && m.ciclo == tipo_ciclo::V && !m.fmg && m.pre == nitm && m.pos == nitm && m.grosso == nitm
           && !m.grosso_exato && m.restricao == tipo_restricao::injecao;
}
