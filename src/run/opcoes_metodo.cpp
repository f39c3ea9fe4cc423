// Opções do método na linha de comando: valores lidos pela tabela e conferidos, e avisos das que não se aplicam à
// entrada.
#include "report/listagem.h"
#include "run/execucao.h"
#include "run/opcoes.h"
#include "state/componentes.h"
#include "state/numeros.h"
#include "state/opcoes_metodo.h"

bool opcao_de_metodo(std::string_view nome) { return opcao_do_metodo(nome) != nullptr; }

std::string ler_valor_do_metodo(const opcao_metodo& o, const std::string& valor, metodo_solver& m, std::string* aviso) {
    if (!o.numero) return o.ler(valor, m);
    // um número pela regra da entrada: ' 1' e '1 ' valem 1; o que segue o valor é avisado
    const texto_de_numero t = separar_numero(valor);
    const std::string motivo = o.ler(t.valor, m);
    if (motivo.empty() && aviso) *aviso = aviso_numero_seguido(o.nome, t.valor, t.resto, true);
    return motivo;
}

std::string ler_opcao_metodo(std::string_view opcao, const char* valor, metodo_solver& m) {
    const opcao_metodo* o = opcao_do_metodo(opcao);
    if (!o) return "unrecognized option '--" + std::string(opcao) + "'";
    std::string aviso;
    const std::string motivo = ler_valor_do_metodo(*o, valor, m, &aviso);
    if (!aviso.empty()) escrever_mensagem("warning: --" + std::string(opcao) + " " + valor + ": " + aviso);
    if (motivo.empty()) return motivo;
    return "invalid value '" + std::string(valor) + "' for --" + std::string(opcao) + " (" + motivo + ")";
}

std::vector<std::string> avisos_metodo(const metodo_solver& m, int nm) {
    std::vector<std::string> avisos;
    if (nm == 1) {
        std::string nomes;
        auto anotar = [&](bool dado, const char* nome) {
            if (dado) nomes += (nomes.empty() ? "" : ", ") + std::string(nome);
        };
        anotar(m.ciclo != tipo_ciclo::V, "--cycle");
        anotar(m.fmg, "--fmg");
        anotar(m.pre != conforme_nitm, "--pre");
        anotar(m.pos != conforme_nitm, "--post");
        anotar(m.grosso != conforme_nitm || m.grosso_exato, "--coarsest");
        anotar(m.restricao != tipo_restricao::injecao, "--restriction");
        anotar(m.operador_grosso != tipo_operador_grosso::rediscretizado, "--coarse-operator");
        anotar(m.interpolacao != tipo_interpolacao::bilinear, "--interpolation");
        anotar(m.engrossamento != tipo_engrossamento::completo, "--coarsening");
        anotar(m.ordem != ordem_pos::mesma, "--post-order");
        if (!nomes.empty())
            avisos.push_back(nomes + " ignored: a single grid (nm = 1) iterates the smoother only");
    }
    if (m.omega != 0.0 && !componente(m.suavizador).aceita_omega)
        avisos.push_back(std::string("--omega ignored: the line smoother ") + componente(m.suavizador).nome +
                         " takes no relaxation factor");
    const bool proprio_adjunto = m.suavizador == tipo_suavizador::jacobi || m.suavizador == tipo_suavizador::gs_sym;
    if (nm >= 2 && m.ordem == ordem_pos::adjunta && proprio_adjunto)
        avisos.push_back(std::string("--post-order adjoint changes nothing for --smoother ") +
                         componente(m.suavizador).nome + ": its sweep is its own adjoint");
    return avisos;
}
