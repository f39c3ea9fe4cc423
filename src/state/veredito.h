// O veredito de uma rodada: como a solução terminou, numa palavra que o monitor, o resumo, a listagem, a tabela do
// estudo e as mensagens escrevem igual. Os nomes estão numa tabela só (veredito.cpp): renomear é mudar uma linha.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Por que o laço das iterações externas parou (escrito pela solução).
enum class motivo_parada { iteracoes, tolerancia, divergencia };

enum class veredito {
    convergiu, // tolt atingido (ou o campo inicial já resolvia as equações discretas)
    parou,     // itmax atingido ainda convergindo
    estagnou,  // itmax atingido com o fator assintótico ajustado >= fator_de_estagnacao
    divergiu,  // a razão passou de razao_de_divergencia ou a norma deixou de ser finita: a solução parou ali
};

/// A solução para quando hist(it)/hist(0) passa disto (com hist(0) > 0).
inline constexpr double razao_de_divergencia = 1e6;
/// Fator assintótico a partir do qual uma rodada que chegou a itmax estagnou.
inline constexpr double fator_de_estagnacao = 0.95;
/// Um fator de dois níveis da LFA a partir do qual o método não deve convergir (o sup que tende a 1 quando
/// theta -> 0 fica 1 - O(1e-8), pois a vizinhança de theta = 0 é excluída).
inline constexpr double rho_sem_convergencia = 1.0 - 1e-6;

/// A palavra do veredito ("convergiu", ...).
const char* nome_do_veredito(veredito v);
/// O veredito de uma palavra, se é uma delas.
std::optional<veredito> veredito_de_nome(std::string_view nome);
/// "convergiu, parou, estagnou ou divergiu", na ordem da tabela.
std::string nomes_dos_vereditos();
